#include "platform/web/FileProblems.h"

namespace FileProblems {

namespace {

std::string quoted(const std::string& fileName)
{
    return "\u201e" + fileName + "\u201c";
}

} // namespace

std::string pictureNotShown(const std::string& fileName)
{
    return "Dieser Browser kann das Bild " + quoted(fileName)
           + " nicht anzeigen.||Das Programm l\u00e4uft ohne dieses Bild weiter.";
}

std::string clickNotPlayed(const std::string& fileName)
{
    return "Dieser Browser kann den Klickton " + quoted(fileName)
           + " nicht abspielen.|Die Z\u00e4hlimpulse bleiben stumm.";
}

} // namespace FileProblems
