#pragma once
// The file types of the FFmpeg input plug-in (the record's fileTypes): pairs of an extension list
// and its description, ended by an empty text (the literal's own final zero). MOV, QT and M4P
// belong to another plug-in and are never listed. QRX is this system's stream address file: an
// HTTP stream, in practice MP3, which FFmpeg opens by probing.

namespace kinvo::in_av {

inline constexpr char kFileTypes[] =
    "MP3;MP2\0MPEG audio (*.MP3;*.MP2)\0"
    "WAV\0Wave audio (*.WAV)\0"
    "OGG;OPUS\0Ogg audio (*.OGG;*.OPUS)\0"
    "FLAC\0FLAC audio (*.FLAC)\0"
    "M4A;AAC\0AAC audio (*.M4A;*.AAC)\0"
    "WMA\0Windows Media audio (*.WMA)\0"
    "AC3\0AC-3 audio (*.AC3)\0"
    "MP4;M4V\0MPEG-4 video (*.MP4;*.M4V)\0"
    "MKV;WEBM\0Matroska video (*.MKV;*.WEBM)\0"
    "AVI\0AVI video (*.AVI)\0"
    "MPG;MPEG;TS\0MPEG video (*.MPG;*.MPEG;*.TS)\0"
    "ASF;WMV\0Windows Media video (*.ASF;*.WMV)\0"
    "RM\0RealMedia (*.RM)\0"
    "FLV\0Flash video (*.FLV)\0"
    "QRX\0Stream address (*.QRX)\0";

}  // namespace kinvo::in_av
