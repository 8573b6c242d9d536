#pragma once
// Shows "Writing <file>" in the database's progress text while a file is
// written and clears it afterwards, also when writing fails.
#include "jfile.h"

#include <string>

namespace quorvil {

class TStatusScope {
public:
    TStatusScope(TJFILE& db, const std::string& fileName) : db_(db) { db_.Status("\nWriting " + fileName); }
    ~TStatusScope()
    {
        try {
            db_.Status("");
        } catch (...) {
            // A progress display that fails must not hide the real outcome.
        }
    }
    TStatusScope(const TStatusScope&) = delete;
    TStatusScope& operator=(const TStatusScope&) = delete;

private:
    TJFILE& db_;
};

}  // namespace quorvil
