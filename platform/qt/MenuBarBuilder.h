#pragma once

// Builds the menu bar from the program's menu text list: a title ending in " |", its
// entries, "" after each title's entries and a second "" after the last list.
// "----------" becomes a separator; "&" is Qt's own mnemonic marker. A title without one
// gets its first letter as mnemonic, so Alt+D opens DESK.

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QMenuBar;

namespace MenuBarBuilder {

// Replaces what the bar held. onChoice receives the chosen entry's position in items;
// it is called from QAction::triggered, so it should only take note of the choice.
void build(QMenuBar& bar, const std::vector<std::string>& items, std::function<void(int)> onChoice);

// The text a title item shows: its trailing " |" removed, a mnemonic guaranteed.
QString titleText(const std::string& item);

} // namespace MenuBarBuilder
