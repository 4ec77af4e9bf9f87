#pragma once

class PgConnection;

// The group role every gate's role belongs to.
inline constexpr const char* kGatesRole = "vostrel_gates";

// Creates on the server, as its administrator, the site's schema "site", the
// gates' group role, the grants and the row-security policies, and the
// functions the gates push their changes through. Everything is created only
// when missing, so a second run changes nothing. Raises ESiteError.
void CreateSiteSchema(PgConnection& admin);
