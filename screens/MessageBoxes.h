#pragma once

#include <string>

// Shows alertText with the button " OK ".
void ShowOkBox();
void ShowTheoryBox();
void ShowUsageBox();
void ShowAuthorBox();

// The fixed texts, "|" separating lines.
std::string TheoryText();
std::string UsageText();
std::string AuthorText();
// "Erstellt mit C++ und ..." with what this edition is built with; on the title screen and in the about box.
std::string CreditLine();
extern const char* const kStartHint;
