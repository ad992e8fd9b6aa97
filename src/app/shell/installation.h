// Where the program runs from: installed (its files under <prefix>/share beside <prefix>/bin) or
// from a build tree; its version, and where its examples are.
#pragma once

#include <QString>

namespace axolite::shell {

// The version of the program (the project's version).
QString programVersion();

struct Installation {
    bool installed = false; // the installed desktop entry stands beside the program
    QString program;        // the program's own path
    QString examples;       // the examples folder; empty when there is none
};

// The installation of the program whose executable is in programFolder (by default the running
// one's): installed when <programFolder>/../share/applications/org.axolite.Axolite.desktop exists;
// the examples are then <programFolder>/../share/axolite/examples, and from a build tree the source
// tree's examples.
Installation installation(const QString& programFolder = {});

} // namespace axolite::shell
