#pragma once
// The amateur band a frequency lies in, as the band text the report keeps in
// "Settings" "B" ("20" for 20 metres; the report adds the "M").
#include <optional>
#include <string>

// The band holding `hz`, edges inclusive (14.000 and 14.350 MHz are both
// "20"). Covered: 160, 80, 60, 40, 30, 20, 17, 15, 12, 10 and 6 metres, with
// the widest edges of the IARU regions and the US allocations, as the ADIF
// band table has them. 3.5 to 4.0 MHz is "80" throughout: the "75" of the
// macro sheet's slider names the US phone end of the same band, and loggers
// know no 75M band. Nothing for a frequency outside every band (and for
// anything that is not a positive finite number): the caller keeps its
// stored band.
std::optional<std::string> BandOfFrequency(double hz);
