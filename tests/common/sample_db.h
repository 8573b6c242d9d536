#pragma once
// Representative databases for the suites, described with the independent
// format helpers. Every header and block value is set explicitly, so that
// Parse(Build(db)).db == db.
#include "pdb_format.h"

#include <vector>

namespace quorvil::pdbtest {

// A garden log in `layout`: six fields of several types (a list field with a
// popup list, an international date in the 5.x layouts), three records with
// 8-bit texts and a line feed, view settings, and in layouts 2 and 3 default
// values, two saved sorts and a saved filter.
Database SampleDatabase(int layout);

// `count` fields named "F1", "F2", ... of type STRING and one record whose
// cells are "r1c1", "r1c2", ...
Database WideDatabase(int layout, int count);

// A text as a database of one character set holds it, and as UTF-8.
struct SetText {
    std::string bytes, utf8;
};

// Texts of one set's script: Shift-JIS trail bytes of 0x5C ("ソ", "表") and
// of ASCII letters ("ア" is 83 41), Big5 trail bytes in 0x40..0x7E ("臺",
// "許"), Hangul that only code page 949 has ("똠").
struct CharsetSample {
    std::string set;  // its IANA name
    SetText title;
    std::vector<SetText> fields;  // a text, a list and a text field
    std::vector<SetText> popups;  // of the list field
    std::vector<std::vector<SetText>> records;
};
const std::vector<CharsetSample>& CharsetSamples();
// The sample as a JFile 5.5 database.
Database CharsetDatabase(const CharsetSample& sample);

}  // namespace quorvil::pdbtest
