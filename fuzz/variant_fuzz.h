// Hostile variants for the reader, the set-up and the checks.
//
// Bytes become a small variant: a generated plant of a dozen or two elements
// (a valid starting point, so that the bytes reach deep into the set-up),
// then a sequence of mutations taken from the bytes: fields set to NULL, NaN,
// infinities, huge, tiny and negative numbers, texts where numbers belong,
// empty, overlong and broken names, rows deleted, duplicated and swapped,
// links to elements that do not exist, tables or columns missing. The
// variant is written as an SQL script, loaded into a database file and
// computed by a whole calculation run.
//
// The run must end in order: with no message, with messages in the check
// list, or with a message box or an error line on the screen log that tells
// the user why it stopped. Anything else aborts, so that the fuzzer or the
// replay test reports it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rivola::fuzz {

// The SQL script of the variant that the bytes describe, and whether the run
// only validates (SIM=N) and speaks English.
struct FuzzVariant {
    std::string script;
    bool validateOnly = false;
    bool english = false;
};
FuzzVariant variant_from_bytes(const std::uint8_t* data, std::size_t size);

// What one run ended with.
struct FuzzOutcome {
    bool loaded = false;         // the script built a database
    int ierr = -1;               // error level of the run
    bool explained = false;      // a failure was told to the user
    std::string why;             // text of a violated expectation ("" when none)
};

// Loads the variant into a database of a private working directory and runs
// it. Does not abort; the caller decides.
FuzzOutcome run_variant(const FuzzVariant& v);

// One fuzz input: builds, runs, and aborts with the script on standard error
// when the run did not end in order.
void run_one(const std::uint8_t* data, std::size_t size);

}  // namespace rivola::fuzz
