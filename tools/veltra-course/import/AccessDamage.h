#pragma once

// glib first: mdbtools.h uses its types without including it in C++.
#include <glib.h>
#include <mdbtools.h>

#include <QString>

// What libmdb dereferences without looking, checked before it gets the
// chance: it trusts a damaged file and crashes inside its own code. Each
// check returns false with `what` saying what is wrong.

// A table definition read by mdb_read_table, before its rows are fetched:
// the usage map that lists the table's data pages must be there, whole and
// of a kind libmdb walks.
bool UsageMapIsSound(const MdbTableDef& table, QString& what);
