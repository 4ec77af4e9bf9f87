#pragma once

// The web sites the program links to: scheme and host, no trailing "/".
namespace SiteAddresses {
inline constexpr const char* UpdateSiteAddress = "https://www.vostrel.example";
inline constexpr const char* PartnerSite1Address = "https://search.vostrel.example";
inline constexpr const char* PartnerSite2Address = "https://lookup.vostrel.example";
inline constexpr const char* PartnerSite3Address = "https://partner.vostrel.example";
} // namespace SiteAddresses
