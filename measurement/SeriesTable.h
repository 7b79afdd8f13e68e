#pragma once

#include <string>

// The series measured so far as a table a spreadsheet opens (semicolons, decimal commas,
// UTF-8): one row per interval the histogram holds, then the histogram, n and the mean as
// the graph shows them.
std::string SeriesTable();
