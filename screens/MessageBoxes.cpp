#include "screens/MessageBoxes.h"

void ShowOkBox()
{
}

void ShowTheoryBox()
{
}

void ShowUsageBox()
{
}

void ShowAuthorBox()
{
}

std::string TheoryText()
{
    return {};
}

std::string UsageText()
{
    return {};
}

std::string AuthorText()
{
    return {};
}

const char* const kStartHint = "";
const char* const kNewSeriesNotice = "";
