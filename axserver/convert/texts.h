#pragma once
// The conversion's error texts, as the client receives them from command 747.
namespace vexa {

inline constexpr char kNoDecoder[] = "Can't find decoder";
inline constexpr char kNoExtendedRead[] = "Decoder doesn't support new 2.92 methods";
inline constexpr char kDecoderOpenFailed[] = "Can't open decoder";
inline constexpr char kPlayFailed[] = "Error opening decoder through Sonari 2.x interfaces";
inline constexpr char kCannotDecodeForBurn[] = "Decoder cannot be used to decode for burn";
inline constexpr char kNoEncoder[] = "Can't open encoder";
inline constexpr char kDestinationOpenFailed[] = "Can't open destination file";
// Decided here: a destination that is the source would be emptied before it is read.
inline constexpr char kDestinationIsSource[] = "Destination is the source file";
// Decided here: the capture output serves one play-path conversion at a time.
inline constexpr char kPlayPathBusy[] = "Another conversion is using the decoder's play path";

}  // namespace vexa
