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
extern const char* const kStartHint;
