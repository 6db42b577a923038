#pragma once

#include <optional>

#include "remote/listing_line_text.h"

// Where the date of a Unix-style line stands, and what it says.
struct ListingDate {
    qsizetype start = 0;  // first byte of the date
    qsizetype end = 0;    // after its last field; the name follows after blanks
    int year = -1;
    int month = -1;
    int day = -1;
    // A day followed by a year or a time of day, or a numeric date: what
    // servers write. Anything less is date words that may belong to the name.
    bool complete = false;
};

// A run of digits in the line; start -1 when there is none.
struct DigitRun {
    qsizetype start = -1;
    qsizetype end = -1;
};

// The size directly before a date: a run of digits, blanks allowed in between,
// with a blank before the run. For devices that is the minor number.
DigitRun SizeBeforeDate(const ListingLineText& line, qsizetype dateStart);

// Finds the date of a line whose permissions, time of day and link target are
// blanked already; `timeStart` is where the time of day stood, or -1. Nothing
// when no date with a size before it can be read. A day that the month does
// not have (Jun 31, Feb 30) makes no date.
std::optional<ListingDate> FindListingDate(const ListingLineText& line, qsizetype timeStart);

// True when the text at `pos` could begin a date that the line failed to
// give: a digit, or a month name followed by something other than a letter.
bool MayBeginDate(const ListingLineText& line, qsizetype pos);
