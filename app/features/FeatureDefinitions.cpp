#include "app/features/FeatureDefinitions.h"

namespace vyn {

namespace {

constexpr int tabA = 1, tabBC = 2, tabDH = 3, tabIL = 4, tabMR = 5, tabST = 6, tabUY = 7, tabZ = 8,
              tabObsolete = 9;

constexpr TFeatureDefinition Obsolete(const char* key) {
  return {tabObsolete, key, key, fkThreeState, "", false};
}

const TFeatureDefinition Definitions[] = {
    {tabA, "FEATURE_RESTRICT_ABOUT_PROTOCOL_IE7", "About Protocol Restriction"},
    {tabA, "FEATURE_SAFE_BINDTOOBJECT", "ActiveX Binding Safety Checks"},
    {tabA, "FEATURE_OBJECT_CACHING", "ActiveX Object Caching"},
    {tabA, "FEATURE_RESTRICT_ACTIVEXINSTALL", "ActiveX Update Restriction"},
    {tabA, "FEATURE_DOWNLOAD_PROMPT_META_CONTROL", "Address and Status Bar Display"},
    {tabA, "FEATURE_AJAX_CONNECTIONEVENTS", "AJAX Connection Events"},
    {tabA, "FEATURE_SHOW_APP_PROTOCOL_WARN_DIALOG", "Application Protocol Confirmation"},
    {tabBC, "FEATURE_BEHAVIORS", "Binary Behavior Security"},
    {tabBC, "FEATURE_BROWSER_EMULATION", "Browser Emulation", fkList, "11001"},
    {tabBC, "FEATURE_ENABLE_CLIPCHILDREN_OPTIMIZATION", "Child Window Clipping"},
    {tabBC, "FEATURE_MANAGE_SCRIPT_CIRCULAR_REFS", "Circular References in Script Management"},
    {tabBC, "FEATURE_ENABLE_SCRIPT_PASTE_URLACTION_IF_PROMPT", "Clipboard Script Control"},
    {tabBC, "FEATURE_BLOCK_SETCAPTURE_XDOMAIN", "Cross Domain Capture Event"},
    {tabBC, "FEATURE_CROSS_DOMAIN_REDIRECT_MITIGATION", "Cross Domain Redirection"},
    {tabDH, "FEATURE_DOWNLOAD_INITIATOR_HTTP_HEADER", "Debugging Network Traffic Requests"},
    {tabDH, "FEATURE_DOMSTORAGE", "DOM Web Storage API Support "},
    {tabDH, "FEATURE_CFSTR_INETURLW_DRAGDROP_FORMAT", "Drag and Drop URL Format"},
    {tabDH, "FEATURE_FEEDS", "Feeds"},
    {tabDH, "FEATURE_RESTRICT_FILEDOWNLOAD", "File Download Restrictions"},
    {tabDH, "FEATURE_BLOCK_CROSS_PROTOCOL_FILE_NAVIGATION", "File Protocol Navigation"},
    {tabDH, "FEATURE_IE6_DEFAULT_FRAME_NAVIGATION_BEHAVIOR", "Frame Content Modification"},
    {tabDH, "FEATURE_VIEWLINKEDWEBOC_IS_UNSAFE", "Frame Content Security"},
    {tabDH, "FEATURE_GPU_RENDERING", "GPU Rendering"},
    {tabDH, "FEATURE_MAXCONNECTIONSPER1_0SERVER", "HTTP 1.0 Connection Maximum"},
    {tabDH, "FEATURE_MAXCONNECTIONSPERSERVER", "HTTP 1.1 Connection Maximum"},
    {tabIL, "FEATURE_IFRAME_MAILTO_THRESHOLD", "IFrame Mailto Threshold"},
    {tabIL, "FEATURE_MIME_TREAT_IMAGE_AS_AUTHORITATIVE", "Image MIME Type Determination"},
    {tabIL, "FEATURE_SECURITYBAND", "Information Bar Handling"},
    {tabIL, "FEATURE_BLOCK_INPUT_PROMPTS", "Input Prompt Blocking"},
    {tabIL, "FEATURE_IVIEWOBJECTDRAW_DMLT9_WITH_GDI", "IViewObject Legacy Drawing"},
    {tabIL, "FEATURE_NINPUT_LEGACYMODE", "Legacy Input Model"},
    {tabIL, "FEATURE_DISABLE_LEGACY_COMPRESSION", "Legacy Compression Support"},
    {tabIL, "FEATURE_LOCALMACHINE_LOCKDOWN", "Local Machine Lockdown"},
    {tabIL, "FEATURE_BLOCK_LMZ_IMG", "Local Image Blocking"},
    {tabIL, "FEATURE_BLOCK_LMZ_OBJECT", "Local Object Blocking"},
    {tabIL, "FEATURE_BLOCK_LMZ_SCRIPT", "Local Script Blocking"},
    {tabMR, "FEATURE_MIME_SNIFFING", "MIME Type Determination"},
    {tabMR, "FEATURE_MIME_HANDLING", "MIME Type Handling"},
    {tabMR, "FEATURE_DISABLE_MK_PROTOCOL", "MK Protocol Support"},
    {tabMR, "FEATURE_ISOLATE_NAMED_WINDOWS", "Named Window Isolation"},
    {tabMR, "FEATURE_DISABLE_NAVIGATION_SOUNDS", "Navigation Sound Support"},
    {tabMR, "FEATURE_PROTOCOL_LOCKDOWN", "Protocol Lockdown"},
    {tabMR, "FEATURE_RESTRICT_RES_TO_LMZ", "Resource Protocol Restriction"},
    // The switch that governs the download prompt's buttons is the same one as "Address and
    // Status Bar Display"; the two boxes edit it together.
    {tabST, "FEATURE_DOWNLOAD_PROMPT_META_CONTROL", "Save Dialog Button Hiding"},
    {tabST, "FEATURE_SCRIPTURL_MITIGATION", "Script URL Mitigation"},
    {tabST, "FEATURE_WARN_ON_SEC_CERT_REV_FAILED", "Security Certificate Revocation Failure"},
    {tabST, "FEATURE_LOAD_SHDOCLC_RESOURCES", "SHDOCLC.DLL Resource Loading"},
    {tabST, "FEATURE_SPELLCHECKING", "Spellcheck and AutoCorrect Support"},
    {tabST, "FEATURE_RESTRICT_CDL_CLSIDSNIFF", "Structured Storage Detection"},
    {tabST, "FEATURE_SSLUX", "SSL Security Alert Display"},
    {tabST, "FEATURE_STATUS_BAR_THROTTLING", "Status Bar Update Frequency"},
    {tabST, "FEATURE_TABBED_BROWSING", "Tabbed Browsing Shortcuts and Notifications"},
    {tabST, "FEATURE_DISABLE_TELNET_PROTOCOL", "Telnet Protocol Support"},
    {tabST, "FEATURE_UNC_SAVEDFILECHECK", "UNC File Support for MotW"},
    {tabST, "FEATURE_HTTP_USERNAME_PASSWORD_DISABLE", "Usernames and Passwords in URL's"},
    {tabUY, "FEATURE_ADDON_MANAGEMENT", "WebOC Addon Management"},
    {tabUY, "FEATURE_ENABLE_WEB_CONTROL_VISUALS", "Web Control Visuals"},
    {tabUY, "FEATURE_WEBOC_MOVESIZECHILD", "Web Browser Control Window Control"},
    {tabUY, "FEATURE_WEBOC_POPUPMANAGEMENT", "Web Browser Control Popup Management"},
    {tabUY, "FEATURE_SHIM_MSHELP_COMBINE", "Visual Studio Legacy Help Support"},
    {tabUY, "FEATURE_VALIDATE_NAVIGATE_URL", "Validate URL Navigation"},
    {tabUY, "FEATURE_XDOMAINREQUEST", "XDomainRequest Object Support"},
    {tabUY, "FEATURE_WINDOW_RESTRICTIONS", "Window Restrictions"},
    {tabUY, "FEATURE_WEBSOCKET_FOLLOWHTTPREDIRECT", "WebSocket Follow Redirects"},
    {tabUY, "FEATURE_WEBSOCKET_AUTHPROMPT", "WebSocket Authentication Prompt"},
    {tabUY, "FEATURE_WEBSOCKET", "WebSocket"},
    {tabUY, "FEATURE_WEBOC_DOCUMENT_ZOOM", "Web Browser Control Document Zoom"},
    {tabUY, "FEATURE_XMLHTTP", "XMLHttpRequest Object Support"},
    {tabUY, "FEATURE_WEBSOCKET_MAXCONNECTIONSPERSERVER", "WebSocket Maximum Server Connections",
     fkNumber, "6", true, true, 2, 128},
    {tabUY, "FEATURE_WEBSOCKET_CLOSETIMEOUT", "WebSocket Close Timeout", fkNumber, "15000"},
    {tabZ, "FEATURE_ZONE_ELEVATION", "Zone Elevation"},
    {tabZ, "FEATURE_RESTRICTED_ZONE_WHEN_FILE_NOT_FOUND", "Zone Handling for Missing Files"},
    {tabZ, "FEATURE_READ_ZONE_STRINGS_FROM_REGISTRY", "Zone String Loading"},
    Obsolete("FEATURE_RESTRICT_CDL"),
    Obsolete("FEATURE_NATIVE_DOCUMENT_MODE"),
    Obsolete("FEATURE_GET_URL_DOM_FILEPATH_UNENCODED"),
    Obsolete("FEATURE_ENABLE_MIXCONTENT_GOLDBAR"),
    Obsolete("FEATURE_ENABLE_ACTIVEX_INACTIVATE_MODE"),
    Obsolete("FEATURE_AJAX_CONNECTIONSERVICES"),
    Obsolete("FEATURE_ACTIVEX_INACTIVATE_MODE_REMOVAL_REVERT"),
    Obsolete("FEATURE_96DPI_PIXEL"),
};

}  // namespace

std::span<const TFeatureDefinition> FeatureDefinitions() { return Definitions; }

}  // namespace vyn
