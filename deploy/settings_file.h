// The settings file: a Windows profile file of [sections] and key=value
// lines, ANSI, CRLF. Reading keeps each line's number for the reports;
// writing gives the one form that reads back to the same sections.
#pragma once

#include <string>
#include <vector>

struct TFileEntry {
    std::string key;
    std::string value;
    int line = 0;
};

struct TFileSection {
    std::string name;
    int line = 0;
    std::vector<TFileEntry> entries;
};

// One line that could not be read, or a text that cannot be written.
struct TFileProblem {
    int line = 0;  // 0 when the problem is not one line's
    std::string text;
    std::string section;  // where a text cannot be written
};

class TSettingsFile {
public:
    // Reads text: blank lines and lines starting with ";" or "#" are
    // passed over, blanks around a key, an "=" and a value are dropped.
    // Every line that is none of these is a problem; false when any was
    // found (the sections then hold what could be read).
    bool Parse(const std::string& text, std::vector<TFileProblem>* problems);

    // The section of that name, ignoring letter case; null when absent.
    const TFileSection* Find(const std::string& name) const;
    TFileSection& Add(const std::string& name);

    // The file's text; false, with problems, when a key or a value cannot
    // be written so that it reads back the same.
    bool Write(std::string* text, std::vector<TFileProblem>* problems) const;

    std::vector<TFileSection> sections;
};

// Whether two texts are equal ignoring the letter case of A to Z.
bool SameText(const std::string& a, const std::string& b);
