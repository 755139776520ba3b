// The operator's moderation, announcement, backup and competition subcommands.
#pragma once
#include "channel/command_line.h"
#include "channel/commands.h"
#include "channel/store.h"

namespace tundrix::channel {

int scoreCommand(Store& store, const Parsed& p, CommandContext& c);
int memberCommand(Store& store, const Parsed& p, CommandContext& c);
int flaggedCommand(Store& store, const Parsed& p, CommandContext& c);
int moderationCommand(Store& store, const Parsed& p, CommandContext& c);
int announceCommand(Store& store, const Parsed& p, CommandContext& c);
int backupCommand(Store& store, const Parsed& p, CommandContext& c);
int competitionCommand(Store& store, const Parsed& p, CommandContext& c);
// winners --competition: the draw of one round, printed and, with --publish, kept.
int competitionWinners(Store& store, const Parsed& p, CommandContext& c);

} // namespace tundrix::channel
