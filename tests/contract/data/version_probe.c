/* A small library for the contract tests: it carries a version resource and the text by
   which the program tells the CAPI-over-TCP client from other CAPI libraries. */
__declspec(dllexport) const char* ProbeMarker(void) { return "Software\\AVM\\CAPIoTCP"; }
