// Writes the sample recording the replay tests and the README's run command
// decode: three epochs of every binary message and text line, inert noise
// between messages, a real receiver's NMEA sentences (with CR LF line ends) and a command
// acknowledgement. Deterministic: the same bytes on every run.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "support/recorders.h"
#include "support/stream_builder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_sample_stream NMEA_CAPTURE OUT\n";
        return 2;
    }
    std::ifstream capture(argv[1], std::ios::binary);
    if (!capture) {
        std::cerr << "make_sample_stream: cannot read " << argv[1] << '\n';
        return 2;
    }
    std::stringstream text;
    text << capture.rdbuf();

    const auto stream = zarnmon::test::MixedStream(
        {.epochs = 3, .noiseFraction = 0.05, .noise = zarnmon::test::Noise::Inert, .seed = 7});
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(stream.bytes.data()), static_cast<std::streamsize>(stream.bytes.size()));
    out << zarnmon::test::WithCrLf(text.str()) << "$PCSI,ACK,1\r\n$PCSI,1,1551.5,0\r\n";
    if (!out) {
        std::cerr << "make_sample_stream: cannot write " << argv[2] << '\n';
        return 2;
    }
    return 0;
}
