#include "screens/MessageBoxes.h"

#include "core/ProgramState.h"
#include "platform/Platform.h"

const char* const kStartHint =
    " Beenden nur mit QUIT!||| Mit beiden Maustasten gleichzeitig| unterbrechen Sie jede Funktion !||";

std::string TheoryText()
{
    std::string text;
    text += "| Es soll die Statistik von zufällig erzeugten Mikroteilchen";
    text += "| untersucht werden.";
    text += "| ";
    text += "| Dabei kann es sich um Alfa-, ß- oder Gamma-Teilchen";
    text += "| handeln, die beim radioaktiven Zerfall emittiert werden.";
    text += "| ";
    text += "| Es kann auch um Photonen einer Mode eines stark abgeschwäch-";
    text += "| ten Laserstrahls gehen, erzeugt durch ein Graufilter.";
    text += "| ";
    text += "| Einerseits ist eine zufällige zeitliche Folge dieser Mikro-";
    text += "| teilchen zu beobachten. Andererseits streut die Anzahl der";
    text += "| emittierten Teilchen, die in einem festen Zeitabschnitt regi-";
    text += "| striert werden, zufällig. Wiederholt man diesen Versuch sehr";
    text += "| viele Male, sollte sich eine Poisson-Verteilung für die jeweils";
    text += "| registrierte Zahl der Teilchen ergeben.";
    text += "| ";
    text += "| Für kohärente Zustände, die eine Lasermode quantenmechanisch";
    text += "| beschreiben, stammt der Nachweis dafür von Varnholt (1963).";
    text += "| ";
    text += "| ";
    return text;
}

std::string UsageText()
{
    std::string text;
    text += "| - Sie können jede Funktion mit beiden Maustasten gemeinsam unterbrechen!";
    text += "| ";
    text += "| - Warnungen machen Sie darauf aufmerksam, dass ein Darstellungsdetail";
    text += "|    nicht korrekt ist.";
    text += "| ";
    return text;
}

// Each edition names what it is built with.
std::string CreditLine()
{
    return "Erstellt mit C++ und " + platform().toolkitName();
}

// The about box names the project and its team; the program is a team's work.
std::string AuthorText()
{
    std::string text;
    text += "Programmautor:     ";
    text += "|";
    text += "|Das Team von Mikroteilchen-Statistik";
    text += "|";
    text += "|Ein Schulprojekt für den Physikunterricht";
    text += "|Zählstatistik radioaktiver Strahlung";
    text += "|Version 1.0";
    text += "| ";
    text += "|" + CreditLine() + " ";
    text += "| ";
    return text;
}

void ShowOkBox()
{
    platform().messageBox(BoxStyle::Notice, state.alertText, 1, " OK ");
}

// Default button 2 with a single button leaves that button the default.
void ShowTheoryBox()
{
    platform().messageBox(BoxStyle::Explanation, TheoryText(), 2, "OK");
}

void ShowUsageBox()
{
    platform().messageBox(BoxStyle::Explanation, UsageText(), 2, "OK");
}

void ShowAuthorBox()
{
    platform().messageBox(BoxStyle::About, AuthorText(), 1, "OK");
}
