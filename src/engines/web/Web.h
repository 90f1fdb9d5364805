#pragma once

// The maker's web site: the home page, the download page and the version query live there.
inline constexpr char Maker_Web_Host[] = "www.velmora.com";
