// What a routine of the programs answers: it did its work, or it met a
// failure and has told the user already, so that its caller stops.
#pragma once

namespace settings {

enum class Outcome { Done, Reported };

}  // namespace settings
