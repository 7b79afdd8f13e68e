#pragma once

// What the teacher is told when the browser cannot use one of the page's files, in the
// desktop edition's words (platform/qt/PictureLoader.cpp, ClickSound.cpp). The files
// themselves are checked when the page is built (page/embed-files.js), so only the browser
// can still fail here: a damaged file never reaches a page.

#include <string>

namespace FileProblems {

// The box's text, ending in the notice that the program goes on without the picture.
std::string pictureNotShown(const std::string& fileName);
// The box's text, ending in the notice that the counts stay silent.
std::string clickNotPlayed(const std::string& fileName);

} // namespace FileProblems
