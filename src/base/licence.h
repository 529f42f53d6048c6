#pragma once

namespace tavrin::base {

// What both programs print under their name and version: who holds the copyright and the licence.
inline constexpr char licenceName[] = "GPL-3.0-or-later";
inline constexpr char licenceNotice[] =
    "Copyright (C) 2026 The Tavrin developers\n"
    "License GPL-3.0-or-later: GNU GPL version 3 or later <https://www.gnu.org/licenses/gpl-3.0.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

} // namespace tavrin::base
