// Fuzz targets: each takes any bytes and must end cleanly, whatever they hold. The same functions
// run under libFuzzer (tools/fuzz) and, in every build, over the seed corpus and the kept
// crashing inputs (the replay tests), so a fixed crash stays fixed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmoran::fuzz {

// The text codec: decoding, and encoding back what was decoded.
void Codec(const std::uint8_t* data, std::size_t size);
// The parser over a whole text, formula by formula, printing each record as --syntax-only does.
void Parser(const std::uint8_t* data, std::size_t size);
// The TPTP reader: whatever it accepts, the theory parser must read formula by formula without
// an error, and the parsed theory prints as TPTP again.
void Tptp(const std::uint8_t* data, std::size_t size);
// A whole proof run: the first two bytes choose the strategy and option bits, the rest is the
// theory; small limits keep every run short.
void Proof(const std::uint8_t* data, std::size_t size);

}  // namespace velmoran::fuzz
