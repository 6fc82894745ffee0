#pragma once

#include <QString>

// Program-wide values determined once at start: the labels of the optional
// branding file "Pelinor.ini" next to the program and the folders the
// program keeps its data in.
struct TAppValues {
    QString ProgramFolder;     // the folder of the program, ending in "/"
    QString IniFileName;       // ProgramFolder + "Pelinor.ini"
    QString CompanyLabel;      // [label] company
    QString CompanyLongName;   // [label] companylong
    QString AppName;           // [label] appname; a folder name
    QString AppNameLong;       // [label] appnamelong; the window caption
    QString SplashLine1;       // [splash] 1
    QString SplashLine2;       // [splash] 2
    QString CompanyFolder;     // the folder above AppName
    QString DataFolder;        // backups live here; ends in "/"
    QString LocalDataFolder;   // the user's own data folder; ends in "/"
    QString DocumentsFolder;   // the user's documents sub-folder; ends in "/"
};

// The values in force; the defaults until SetAppFolders() ran.
const TAppValues &AppValues();
// The values of a run without INI file and without folders.
TAppValues DefaultAppValues();

// Reads the labels of programFolder + "Pelinor.ini" over the defaults and
// derives CompanyFolder; folders stay empty.
TAppValues ReadAppLabels(const QString &programFolder);

// The base folders the data folders are made under.
struct TAppFolderBases {
    QString common;     // shared by all users; may be empty or unwritable
    QString local;      // the user's own application data
    QString documents;  // the user's documents
};
// The platform's folders: the first shared XDG data folder, the user's data
// folder and the documents folder.
TAppFolderBases StandardFolderBases();

// Determines and creates the data folders of the labels under the bases.
// The shared folder is used when it can be created and written, else the
// user's own. Raises EInOutError when the user's folders cannot be created.
void ResolveAppFolders(TAppValues &values, const TAppFolderBases &bases);

// The start-up step: labels, folders, the values put in force. Raises
// Exception with "Error occured in SetAppFolders: " and the cause.
void SetAppFolders(const QString &programFolder);

// A name usable as exactly one folder on every platform the data may travel
// to: not empty, not "." or "..", shorter than 256 characters, no path
// separator, no character Windows refuses, no control character, no blank or
// dot at its end and no blank at its start.
bool IsValidFolderName(const QString &name);
// The company's folder: the label unless it is the maker's own or no valid
// folder name, else "ArvelLoggers".
QString CompanyFolderFor(const QString &companyLabel);
// Each letter after a blank or punctuation (or at the start) upper-case,
// every other letter lower-case: "ArvelLoggers/Pelinor" -> "Arvelloggers/Pelinor".
QString CapitalisedWords(const QString &text);

// The product version of this build, "??.??.??.??" when none is known.
QString ProductVersion();
