#include "nmea/decoder/decoder.h"

namespace nmea {

void Decoder::ST_DEV() {}

}  // namespace nmea
