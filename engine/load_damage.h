#pragma once
// What the lenient reader could not read of a file that ends early, and the
// warning that tells the user so.
#include "layout.h"

#include <cstddef>
#include <string>

namespace quorvil {

struct TLoadDamage {
    size_t FileBytes = 0;           // from the database's start to the end of the file
    bool Header = false;            // the 78-byte header is cut
    bool RecordList = false;        // entries of the record list lie past the end
    bool FieldDefinitions = false;  // the application-info block is cut
    bool Chunks = false;            // the popup lists (and saved settings) run into the end
    int Records = 0;                // records the database holds after the load
    int CutRecords = 0;             // begin in the file and end past it
    int MissingRecords = 0;         // begin past the end, or their list entry does

    bool Any() const { return Header || RecordList || FieldDefinitions || Chunks || CutRecords || MissingRecords; }
};

// Empty when nothing is damaged. Otherwise one or two sentences, such as
//   The file "a.pdb" ends early: it holds 1,234 bytes, too few for its field
//   definitions and its 10 records. 3 of the 10 records could be read whole;
//   7 are missing.
// An empty `fileName` leaves the name out. `layout` names the chunk area
// (the 5.x layouts keep saved settings there beside the popup lists).
std::string LoadWarningText(const std::string& fileName, const TLoadDamage& damage, TLayout layout);

// Empty when nothing is damaged. Otherwise the question before a save puts
// what could be read in place of the damaged file, such as
//   The file "a.pdb" opened damaged: 3 of the 10 records could be read whole.
//   Replace the file with what could be read?
//   Save as writes it to another file instead and leaves this one as it is.
std::string ReplaceDamagedQuestion(const std::string& fileName, const TLoadDamage& damage, TLayout layout);

}  // namespace quorvil
