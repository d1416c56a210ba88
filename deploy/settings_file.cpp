#include "deploy/settings_file.h"

#include <cstdio>

namespace {

const char kLineEnd[] = "\r\n";
const char kHeader[] = "; Korvane & Tools Configuration settings (ktconfig /export)";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

void Problem(std::vector<TFileProblem>* problems, int line, const std::string& text,
             const std::string& section = std::string()) {
    if (problems)
        problems->push_back(TFileProblem{line, text, section});
}

// A file saved as Unicode reads as nothing but unknown lines; saying so
// helps more than a report of its first line.
bool IsUnicode(const std::string& text) {
    return text.compare(0, 3, "\xEF\xBB\xBF") == 0 || text.compare(0, 2, "\xFF\xFE") == 0 ||
           text.compare(0, 2, "\xFE\xFF") == 0;
}

bool IsComment(const std::string& line) {
    return line[0] == ';' || line[0] == '#';
}

// Whether text reads back the same from a line: nothing that ends a line,
// no blank at either end.
bool Writable(const std::string& text) {
    if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return false;
    return text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back()));
}

// Why a key cannot be written so that it reads back the same; null when
// it can.
const char* KeyRefusal(const std::string& key) {
    if (key.empty())
        return "an empty name";
    if (!Writable(key))
        return "a line end, or blanks at its start or end";
    if (key.find('=') != std::string::npos)
        return "\"=\" in it";
    if (key[0] == '[' || IsComment(key))
        return "\";\", \"#\" or \"[\" at its start";
    return nullptr;
}

}  // namespace

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

const TFileSection* TSettingsFile::Find(const std::string& name) const {
    for (const TFileSection& section : sections) {
        if (SameText(section.name, name))
            return &section;
    }
    return nullptr;
}

TFileSection& TSettingsFile::Add(const std::string& name) {
    sections.push_back(TFileSection{name, 0, {}});
    return sections.back();
}

bool TSettingsFile::Parse(const std::string& text, std::vector<TFileProblem>* problems) {
    sections.clear();
    if (IsUnicode(text)) {
        Problem(problems, 1, "the file is saved as Unicode; save it as ANSI text");
        return false;
    }
    bool good = true;
    TFileSection* current = nullptr;
    size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string raw = text.substr(start, end - start);
        start = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        if (raw.find('\0') != std::string::npos) {
            Problem(problems, number, "the line holds a zero byte; this is no text file");
            good = false;
            continue;
        }
        std::string line = Trim(raw);
        if (line.empty() || IsComment(line))
            continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string rest = close == std::string::npos ? "" : Trim(line.substr(close + 1));
            std::string name = close == std::string::npos ? "" : Trim(line.substr(1, close - 1));
            if (close == std::string::npos || name.empty() || (!rest.empty() && !IsComment(rest))) {
                Problem(problems, number, "\"" + line + "\" is not a [section] line");
                good = false;
                current = nullptr;
                continue;
            }
            if (Find(name)) {
                Problem(problems, number, "the section [" + name + "] is given twice");
                good = false;
                current = nullptr;
                continue;
            }
            current = &Add(name);
            current->line = number;
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0) {
            Problem(problems, number,
                    "\"" + line + "\" is neither a [section], a key=value line nor a comment");
            good = false;
            continue;
        }
        if (!current) {
            // After a bad section line its keys were reported with it.
            if (good) {
                Problem(problems, number, "\"" + line + "\" stands before any [section]");
                good = false;
            }
            continue;
        }
        current->entries.push_back(
            TFileEntry{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), number});
    }
    return good;
}

bool TSettingsFile::Write(std::string* text, std::vector<TFileProblem>* problems) const {
    std::string out = std::string(kHeader) + kLineEnd;
    bool good = true;
    for (const TFileSection& section : sections) {
        out += kLineEnd;
        out += "[" + section.name + "]" + kLineEnd;
        for (const TFileEntry& entry : section.entries) {
            if (const char* refusal = KeyRefusal(entry.key)) {
                Problem(problems, 0,
                        "\"" + entry.key + "\" cannot be written to the settings file: it has " +
                            refusal,
                        section.name);
                good = false;
                continue;
            }
            if (!Writable(entry.value)) {
                Problem(problems, 0,
                        "the value of \"" + entry.key +
                            "\" cannot be written to the settings file: it has a line end, or "
                            "blanks at its start or end",
                        section.name);
                good = false;
                continue;
            }
            out += entry.key + "=" + entry.value + kLineEnd;
        }
    }
    if (good && text)
        *text = out;
    return good;
}
