#include "nmea/decoder/decoder.h"

namespace nmea {

// Decoded in a later step; the replay already dispatches the sentence here.
void Decoder::handle_gsa() {}

}  // namespace nmea
