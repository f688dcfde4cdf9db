#pragma once

#include <QStringView>

#include <optional>
#include <vector>

// Which lines of an INI text belong to which section. The settings object and the bulk readers
// of large files (colour definitions, tasks) all read through here, so they agree line by line.
//
// A header opens a block that runs to the next header; lines before the first header belong to
// none. The first block of a name is the section of that name, later blocks of the same name are
// hidden. In a section the first entry of a key counts. Names compare trimmed and case-folded.
// The text has '\n' line breaks; positions are offsets into it.
namespace IniSections {

struct Block
{
    QStringView name;
    qsizetype header = 0; // start of the header line
    qsizetype body = 0;   // start of the line after it
    qsizetype end = 0;    // start of the next header, or the end of the text
    bool hidden = false;  // an earlier block has the same name
};

struct Entry
{
    QStringView key;
    QStringView value;
    qsizetype line = 0; // start of its line
    qsizetype next = 0; // start of the line after it
};

bool sameName(QStringView a, QStringView b);

// Every block, in file order.
std::vector<Block> blocks(QStringView text);
// The section of that name, read no further than its end.
std::optional<Block> find(QStringView text, QStringView name);
// How many blocks carry the name.
int blockCount(QStringView text, QStringView name);

// The entries of a block in file order; with firstOnly, later entries of a key are left out.
std::vector<Entry> entries(QStringView text, const Block &block, bool firstOnly);
// The entry of the key that counts.
std::optional<Entry> findEntry(QStringView text, const Block &block, QStringView key);

} // namespace IniSections
