#pragma once
// Every text the data server sends, in one place: the protocol answers the browser reads and the
// vendor pages it opens in the user's web browser. Pages are HTML fragments that pages.cpp puts
// into kPageFrame; "{...}" marks what it fills in (always HTML-escaped). The words shared with
// the browser (paths, keys, the version answers, category names) are in
// catalogue/request_texts.h.

#include <string_view>

namespace kinvo::ds::texts {

// ---- Answers the browser parses -------------------------------------------------------------

inline constexpr std::string_view kStartCounted = "OK";
// Shown in F6 and F7 while a station has no rating or notes.
inline constexpr std::string_view kNone = "None";
// Around the entries of a list or search answer; nothing in them starts an entry.
inline constexpr std::string_view kListHead =
    "<html><head><title>Stations</title></head><body>\r\n";
inline constexpr std::string_view kListTail = "</body></html>\r\n";

// ---- Vendor pages ---------------------------------------------------------------------------

inline constexpr std::string_view kPageFrame = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title} - Kinvo</title>
<style>
  :root { --ink: #1d2433; --muted: #5b6578; --accent: #c2410c; --paper: #f6f4ef; --card: #fff; }
  * { box-sizing: border-box; }
  body { margin: 0; font: 16px/1.55 "Liberation Sans", "DejaVu Sans", Arial, sans-serif;
         color: var(--ink); background: var(--paper); }
  header { background: #1d2433; color: #fff; }
  header .bar { max-width: 860px; margin: 0 auto; padding: 14px 20px; display: flex;
                align-items: baseline; gap: 24px; flex-wrap: wrap; }
  header .brand { font-size: 22px; font-weight: bold; letter-spacing: 0.5px; color: #fff;
                  text-decoration: none; }
  header .brand span { color: #fb923c; }
  header nav a { color: #cbd5e1; text-decoration: none; margin-right: 16px; }
  header nav a:hover { color: #fff; }
  main { max-width: 860px; margin: 28px auto; padding: 0 20px; }
  .card { background: var(--card); border-radius: 10px; padding: 24px 28px;
          box-shadow: 0 1px 3px rgba(0,0,0,.08); margin-bottom: 20px; }
  h1 { margin: 0 0 12px; font-size: 28px; }
  h2 { margin: 22px 0 8px; font-size: 19px; }
  p, li { color: #2c3446; }
  .muted { color: var(--muted); }
  kbd { background: #eef0f4; border: 1px solid #cfd4dc; border-bottom-width: 2px;
        border-radius: 4px; padding: 0 5px; font-size: 14px; }
  table.keys td { padding: 3px 14px 3px 0; vertical-align: top; }
  label { display: block; font-weight: bold; margin: 14px 0 4px; }
  input[type=text], input[type=email], textarea { width: 100%; padding: 8px 10px;
        border: 1px solid #c9ced8; border-radius: 6px; font: inherit; }
  textarea { min-height: 140px; }
  .stars { display: flex; gap: 10px; flex-wrap: wrap; margin: 6px 0; }
  .stars label { font-weight: normal; margin: 0; border: 1px solid #c9ced8; border-radius: 6px;
                 padding: 6px 12px; cursor: pointer; }
  button { margin-top: 18px; background: var(--accent); color: #fff; border: 0;
           border-radius: 6px; padding: 10px 22px; font: inherit; cursor: pointer; }
  .notice { border-left: 4px solid var(--accent); background: #fff7ed; padding: 10px 14px; }
  .ok { border-left: 4px solid #15803d; background: #f0fdf4; padding: 10px 14px; }
  footer { max-width: 860px; margin: 0 auto 30px; padding: 0 20px; color: var(--muted);
           font-size: 14px; }
</style>
</head>
<body>
<header><div class="bar">
  <a class="brand" href="/about.asp?P=T">Kin<span>vo</span></a>
  <nav><a href="/help/kinvo/index.htm">Help</a><a href="/mailform.htm">Support</a><a href="/about.asp?P=T">About</a></nav>
</div></header>
<main>
{body}
</main>
<footer>Kinvo station service &middot; served by kinvo-dataserver</footer>
</body>
</html>
)html";

inline constexpr std::string_view kHelpTitle = "Quick guide";
inline constexpr std::string_view kHelpBody = R"html(<div class="card">
<h1>Kinvo quick guide</h1>
<p>Kinvo finds internet TV, video and music-video stations, lists them by category and plays
them inside its own window. This page shows the few things worth knowing on the first day.</p>

<h2>1. Pick a category</h2>
<p>The box above the station list holds the categories this station service offers, followed by
<b>Favorites</b>, <b>Most Popular Stations</b> and <b>Video Search</b>. Choose one and the list
fills in. The number of stations shows below the list.</p>

<h2>2. Choose your connection</h2>
<p>In <b>Setup</b> you tell Kinvo how fast your connection is. <i>Dialup</i> lists stations of
56&nbsp;kbps and less, <i>Broadband</i> stations of 100&nbsp;kbps and more, and <i>ALL Content</i>
everything. A station's bandwidth shows when you click it.</p>

<h2>3. Play a station</h2>
<p>Double-click a station, or select it and press <kbd>Enter</kbd> or <kbd>Space</kbd>. Kinvo
picks the right player for the station by its address and plays it in the main window. Use
<b>Stop</b> (<kbd>F4</kbd>) to end playback and bring the list back.</p>

<h2>4. Keep your favorites</h2>
<p>Select one or more stations and click <b>Add to Favorites</b> (or press <kbd>F6</kbd>). Choose
the <b>Favorites</b> category (<kbd>F7</kbd>) to see them again; <kbd>Delete</kbd> removes the
selected favorite.</p>

<h2>5. Search for videos</h2>
<p>Choose <b>Video Search</b> and type at least four letters. Start with a general word, such as a
band's name or a subject like <i>comedy</i>, then narrow it down.</p>

<h2>6. Rate stations</h2>
<p>In the music-video category, click <b>Rate</b> to give the selected station zero to five marks
and leave a note for other viewers. The marks and the newest note show under the list.</p>

<h2>Keys</h2>
<table class="keys">
<tr><td><kbd>F1</kbd></td><td>this guide</td></tr>
<tr><td><kbd>F2</kbd></td><td>show or hide the station panel</td></tr>
<tr><td><kbd>F3</kbd> / <kbd>F4</kbd></td><td>play / stop</td></tr>
<tr><td><kbd>F6</kbd> / <kbd>F7</kbd></td><td>add to favorites / go to favorites</td></tr>
<tr><td><kbd>F8</kbd> / <kbd>F9</kbd></td><td>volume down / up</td></tr>
</table>

<h2>Adult content</h2>
<p>Stations for adults carry the word <i>adult</i> in their name. The adult-content setting in
<b>Setup</b> hides all of them.</p>
</div>
)html";

inline constexpr std::string_view kSupportTitle = "Support";
inline constexpr std::string_view kSupportBody = R"html(<div class="card">
<h1>Write to support</h1>
<p>Something not working, a station gone quiet, or a station you would like to see listed? Tell
us here. Please describe what you did and what you saw; for a station, give its name and
category.</p>
{notice}
<form method="post" action="/mailform.htm">
<label for="name">Your name</label>
<input type="text" id="name" name="name" maxlength="100" value="{name}">
<label for="email">Your e-mail address (so that we can answer)</label>
<input type="email" id="email" name="email" maxlength="200" value="{email}">
<label for="subject">Subject</label>
<input type="text" id="subject" name="subject" maxlength="200" value="{subject}">
<label for="message">Message</label>
<textarea id="message" name="message" maxlength="4000">{message}</textarea>
<button type="submit">Send message</button>
</form>
</div>
)html";
inline constexpr std::string_view kSupportNeedsMessage =
    "Please write a message before sending the form.";
inline constexpr std::string_view kSupportTooLong =
    "One of the fields is longer than this form takes; please shorten it.";
inline constexpr std::string_view kSupportBadText =
    "One of the fields holds characters this form does not take (control characters, or text "
    "that is not UTF-8); please retype it.";
inline constexpr std::string_view kSupportThanksTitle = "Message sent";
inline constexpr std::string_view kSupportThanksBody = R"html(<div class="card">
<h1>Thank you</h1>
<p class="ok">Your message has reached us (number {number}). We read every message and answer
those that leave an e-mail address.</p>
<p><a href="/help/kinvo/index.htm">Back to the quick guide</a></p>
</div>
)html";

inline constexpr std::string_view kAboutTitle = "About";
inline constexpr std::string_view kAboutBody = R"html(<div class="card">
<h1>About Kinvo</h1>
<p>Kinvo is a desktop browser and player for internet television, video and music-video
stations. It lists the stations of this station service by category, plays them in its own
window, keeps your favorites and lets you search for videos.</p>
<p>This station service lists {stations} stations in {categories} categories.</p>
<h2>Versions</h2>
<p>This service supports Kinvo {version} and later.</p>
<h2>Getting in touch</h2>
<p>Questions and suggestions are welcome through the <a href="/mailform.htm">support form</a>.</p>
</div>
)html";

inline constexpr std::string_view kRateTitle = "Rate a station";
inline constexpr std::string_view kRateBody = R"html(<div class="card">
<h1>Rate {name}</h1>
<p class="muted">Category: {category} &middot; rated {count} times &middot; shown rating: {rating}</p>
{notice}
<form method="post" action="/kinvorate.asp">
<input type="hidden" name="id" value="{id}">
<label>Your rating</label>
<div class="stars">
<label><input type="radio" name="rating" value="0"> 0</label>
<label><input type="radio" name="rating" value="1"> 1</label>
<label><input type="radio" name="rating" value="2"> 2</label>
<label><input type="radio" name="rating" value="3" checked> 3</label>
<label><input type="radio" name="rating" value="4"> 4</label>
<label><input type="radio" name="rating" value="5"> 5</label>
</div>
<label for="notes">Your notes for other viewers (optional)</label>
<textarea id="notes" name="notes" maxlength="2000">{notes}</textarea>
<button type="submit">Save rating</button>
</form>
</div>
)html";
inline constexpr std::string_view kRatePickTitle = "Rate a station";
inline constexpr std::string_view kRatePickBody = R"html(<div class="card">
<h1>Which station?</h1>
<p>{intro}</p>
<ul>
{items}</ul>
</div>
)html";
inline constexpr std::string_view kRatePickIntro =
    "More than one station goes by this name; choose the one you mean.";
inline constexpr std::string_view kRateNoneFound =
    "No station named \"{name}\" is listed. Select a station in Kinvo and click Rate "
    "again.";
inline constexpr std::string_view kRateNoName =
    "No station was named. Select a station in Kinvo and click Rate.";
inline constexpr std::string_view kRatePickItem =
    "<li><a href=\"/kinvorate.asp?ID={id}\">{name}</a> <span "
    "class=\"muted\">({category})</span></li>\n";
inline constexpr std::string_view kRateBadRating = "Please choose a rating from 0 to 5.";
inline constexpr std::string_view kRateBadNotes =
    "These notes cannot be shown in Kinvo's list ({why}); please change them.";
inline constexpr std::string_view kRateThanksTitle = "Rating saved";
inline constexpr std::string_view kRateThanksBody = R"html(<div class="card">
<h1>Thank you</h1>
<p class="ok">Your rating of {name} is saved. The station now shows {rating} marks; your notes
appear the next time Kinvo loads the category.</p>
<p><a href="/kinvorate.asp?ID={id}">Rate it again</a></p>
</div>
)html";

inline constexpr std::string_view kQuickTimeTitle = "QuickTime movies";
inline constexpr std::string_view kQuickTimeBody = R"html(<div class="card">
<h1>Playing QuickTime movies</h1>
<p>Stations whose address ends in <b>.mov</b>, <b>.qt</b> or <b>.movie</b> are QuickTime movies.
Kinvo plays them with its QuickTime player component.</p>
<h2>If Kinvo says the QuickTime player is missing</h2>
<ol>
<li>Install the media decoding libraries of your system (on Debian: the FFmpeg libraries,
<code>libavformat</code> and <code>libavcodec</code>), which Kinvo's player components use.</li>
<li>Restart Kinvo and choose the station again.</li>
</ol>
<p class="muted">Kinvo checks for each player once per run; after a successful check it does not
ask again until it restarts.</p>
</div>
)html";

inline constexpr std::string_view kWindowsMediaTitle = "Windows Media streams";
inline constexpr std::string_view kWindowsMediaBody = R"html(<div class="card">
<h1>Playing Windows Media streams</h1>
<p>Stations whose address names a <b>.wmv</b>, <b>.asf</b>, <b>.asx</b>, <b>.mpg</b> or
<b>.mpeg</b> file, or starts with <b>mms://</b>, are played with the Windows Media player
component (version 9 or above).</p>
<h2>If Kinvo says the Windows Media player is missing</h2>
<ol>
<li>Install the media decoding libraries of your system (on Debian: the FFmpeg libraries), which
Kinvo's player components use.</li>
<li>Restart Kinvo and choose the station again.</li>
</ol>
<p class="muted">Addresses that start with mms:// are streamed over HTTP from the same host.</p>
</div>
)html";

inline constexpr std::string_view kRealPlayerTitle = "RealMedia and other streams";
inline constexpr std::string_view kRealPlayerBody = R"html(<div class="card">
<h1>Playing RealMedia and other streams</h1>
<p>Every station that is not a Flash, QuickTime or Windows Media station, and not a stream for
Kinvo's own playback engine, is played with the RealPlayer component: RealMedia
(<b>.rm</b>, <b>.ram</b>), MP4, MP3 and most other addresses.</p>
<h2>If Kinvo says RealPlayer is missing</h2>
<ol>
<li>Install the media decoding libraries of your system (on Debian: the FFmpeg libraries), which
Kinvo's player components use.</li>
<li>Restart Kinvo and choose the station again.</li>
</ol>
</div>
)html";

inline constexpr std::string_view kSearchTitle = "Search the stations";
inline constexpr std::string_view kSearchBody = R"html(<div class="card">
<h1>Search the stations</h1>
<form method="get" action="/search.asp">
<input type="text" name="T1" value="{term}" maxlength="200">
<button type="submit">Search</button>
</form>
<p>{summary}</p>
<ul>
{items}</ul>
</div>
)html";
inline constexpr std::string_view kSearchNoTerm =
    "Type a word or two of a station's name, description or notes.";
inline constexpr std::string_view kSearchNoneFound = "No station matches \"{term}\".";
inline constexpr std::string_view kSearchFound =
    "Stations matching \"{term}\", best first: {count}.";
inline constexpr std::string_view kSearchItem =
    "<li><a href=\"{address}\">{name}</a> <span class=\"muted\">({category}) {info} "
    "&middot; {bandwidth}</span> <a href=\"/kinvorate.asp?ID={id}\">Rate</a></li>\n";
inline constexpr std::string_view kSearchTextItem =
    "<li>{name} <span class=\"muted\">({category}) {info} &middot; {bandwidth} &middot; "
    "{address}</span> <a href=\"/kinvorate.asp?ID={id}\">Rate</a></li>\n";
inline constexpr std::string_view kSearchUnknownBandwidth = "any connection";
inline constexpr std::string_view kSearchBandwidth = "{kbps} kbps";

inline constexpr std::string_view kIndexTitle = "Station service";
inline constexpr std::string_view kIndexBody = R"html(<div class="card">
<h1>Kinvo station service</h1>
<p>This server hands the Kinvo browser its station catalogue. Point Kinvo at it and the
categories below appear in its category box.</p>
<ul>
{items}</ul>
</div>
)html";
inline constexpr std::string_view kIndexItem = "<li>{name}</li>\n";

inline constexpr std::string_view kNotFoundTitle = "Not found";
inline constexpr std::string_view kNotFoundBody = R"html(<div class="card">
<h1>Page not found</h1>
<p>There is no page at this address. Try the <a href="/help/kinvo/index.htm">quick guide</a>.</p>
</div>
)html";
inline constexpr std::string_view kServerErrorTitle = "Temporarily unavailable";
inline constexpr std::string_view kServerErrorBody = R"html(<div class="card">
<h1>Temporarily unavailable</h1>
<p>The station service could not answer just now. Please try again in a minute.</p>
</div>
)html";

}  // namespace kinvo::ds::texts
