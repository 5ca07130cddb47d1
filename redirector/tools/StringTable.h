#pragma once

// The redirector's string table: every caption and message of norvex, by number. The texts
// live in strings.txt, compiled in as a resource and read once on first use; after that the
// table is read-only, so any thread may look strings up.

#include <QString>

// The text of string `number`; a null (empty) string when the table has no such number.
QString LoadResString(int number);
