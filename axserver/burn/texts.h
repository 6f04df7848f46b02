#pragma once
// The texts of disc burning, byte for byte: the burn window's class and title, the list file's
// lines, and the status-line texts of the burn process (kept as its state; see burn_process.h).

namespace vexa::burn_texts {

inline constexpr char kBurnWindowClass[] = "SonariBurnWnd";
inline constexpr char kTitle[] = "%c: (%d%%) Burning %d %s at %dx";
inline constexpr char kTrack[] = "track";
inline constexpr char kTracks[] = "tracks";
inline constexpr char kCommandLine[] = " /BURN=%c,\"%s\",%d,%d,%d,%d,%d,%d";
inline constexpr char kListHeader[] = "#EXTM3U\n";
inline constexpr char kListNumber[] = "#EXTBRN:";
inline constexpr char kListPrefix[] = "BRN";
inline constexpr char kListSuffix[] = ".m3u";
inline constexpr char kListFallback[] = "brn_tmp.m3u";
inline constexpr char kTempPrefix[] = "sonariburn_";
inline constexpr char kTrackFile[] = "%strack%02d.wav";
inline constexpr char kBurnerLibrary[] = "PrimoSDK.DLL";

inline constexpr char kPreparing[] = "Preparing track %d/%d - %s";
inline constexpr char kConverted[] = "Tracks converted. Initializing burning.";
inline constexpr char kBurning[] = "Burnin'.";
inline constexpr char kInitializingBurner[] = "Initializing burner...";
inline constexpr char kLeadIn[] = "Opening disc / Writing lead-in...";
inline constexpr char kBurnPercent[] = "Burning (%d%% done)";
inline constexpr char kClosingDisc[] = "Closing disc...";
inline constexpr char kElapsed[] = "Elapsed time: %d:%02d:%02d - ";
inline constexpr char kRemaining[] =
    "Remaining time (appx.): %d:%02d:%02d - Total time: %d:%02d:%02d";

inline constexpr char kCantLoad[] = "Can't load Veritas DLL!";
inline constexpr char kNoMethods[] = "Couldn't locate methods in Veritas DLL!";
inline constexpr char kCantInit[] = "Couldn't initialize Veritas API!";
inline constexpr char kNoHandle[] = "Can't get Veritas handle!";
inline constexpr char kNoSession[] = "Can't create new audio session";
inline constexpr char kCantAdd[] = "Can't add audio file";
inline constexpr char kCantStart[] = "Can't start burning!";
inline constexpr char kBurnError[] = "Error during burning process";

}  // namespace vexa::burn_texts
