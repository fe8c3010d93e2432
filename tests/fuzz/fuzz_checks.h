// What the fuzz targets check, shared with the regression test that runs the
// kept inputs in every build. A broken rule aborts with a message.
#pragma once

#include <string_view>

// ReadLog on arbitrary bytes: it ends, and what it keeps is well-formed.
void CheckReadLog(std::string_view bytes);
// The settings store on arbitrary bytes: parse, save, parse again gives the
// same entries, and a second save the same bytes.
void CheckSettingsRoundTrip(std::string_view bytes);
// The export of a fuzzed log with fuzzed channel texts is well-formed DIF.
void CheckExport(std::string_view bytes);
