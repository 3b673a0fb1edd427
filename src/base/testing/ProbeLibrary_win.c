/* A library for the tests of the library search: copies of it under other
   names sit where the loader may or may not look. */
__declspec(dllexport) int WsProbeLibrary(void) { return 42; }
