// The database schema, as an ordered list of steps; a database is brought up to the newest on opening.
#pragma once
#include "channel/database.h"

#include <string>

namespace tundrix::channel {

// The schema version this program writes.
int newestSchemaVersion();

// Applies every step above the database's version up to the given one (the newest unless told), each in
// its own transaction, and records the new version. Refuses (false) a database written by a newer program.
bool migrate(Database& db, std::string& error, int upTo = newestSchemaVersion());

} // namespace tundrix::channel
