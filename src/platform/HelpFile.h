#pragma once

#include <QString>

/// Where the help file that ships with the program is found.
namespace HelpFile {

/// The manual "Scrivlane.html" for a program in programFolder: beside it in a
/// build folder, or in the data folder of an installed program
/// (<prefix>/share/scrivlane beside <prefix>/bin). Beside the program when
/// neither exists, so that a failure to open it names the expected place.
QString locate(const QString &programFolder);

}  // namespace HelpFile
