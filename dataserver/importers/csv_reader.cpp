// CSV with a header row (RFC 4180: comma separated, double quotes, "" for a quote inside).

#include "dataserver/importers/lower_case.h"
#include "dataserver/importers/playlist_readers.h"
#include "dataserver/importers/station_fields.h"
#include "dataserver/importers/text_lines.h"

namespace kinvo::ds {

namespace {

struct Record {
    std::size_t line = 0;
    std::vector<std::string> fields;
};

// Splits the whole text into records. A quoted field may hold commas and line ends; an open
// quote at the end of the text is reported on the record's first line.
std::vector<Record> records(std::string_view text, std::vector<RowError>& errors) {
    std::vector<Record> out;
    text = withoutBom(text);
    std::size_t line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        Record rec;
        rec.line = line;
        std::string field;
        bool blank = true;
        while (true) {
            if (i < text.size() && text[i] == '"') {
                blank = false;
                ++i;
                bool closed = false;
                while (i < text.size()) {
                    char c = text[i++];
                    if (c == '"') {
                        if (i < text.size() && text[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        closed = true;
                        break;
                    }
                    if (c == '\n') {
                        ++line;
                    }
                    field += c;
                }
                if (!closed) {
                    errors.push_back({rec.line, "quoted field has no closing quote"});
                    return out;
                }
                // Text after a closing quote up to the separator is not CSV.
                if (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r') {
                    errors.push_back({rec.line, "text after a closing quote"});
                    while (i < text.size() && text[i] != '\n') {
                        ++i;
                    }
                    rec.fields.clear();
                    blank = true;
                    field.clear();
                }
            } else {
                while (i < text.size() && text[i] != ',' && text[i] != '\n') {
                    field += text[i++];
                }
                if (!field.empty() && field.back() == '\r' &&
                    (i >= text.size() || text[i] == '\n')) {
                    field.pop_back();
                }
                if (!field.empty()) {
                    blank = false;
                }
            }
            if (i < text.size() && text[i] == '\r') {
                ++i;
            }
            if (i < text.size() && text[i] == ',') {
                rec.fields.push_back(std::move(field));
                field.clear();
                blank = false;
                ++i;
                continue;
            }
            rec.fields.push_back(std::move(field));
            if (i < text.size() && text[i] == '\n') {
                ++i;
                ++line;
            }
            break;
        }
        if (!blank) {
            out.push_back(std::move(rec));
        }
    }
    return out;
}

}  // namespace

ReadResult readCsv(std::string_view content) {
    ReadResult result;
    std::vector<Record> recs = records(content, result.errors);
    if (recs.empty()) {
        if (result.errors.empty()) {
            result.errors.push_back({0, "no header row"});
        }
        return result;
    }
    std::vector<std::string> columns;
    bool hasName = false;
    bool hasAddress = false;
    for (const std::string& raw : recs.front().fields) {
        std::string c = lower(trim(raw));
        ImportRow probe;
        if (setStationField(probe, c, "").set == FieldSet::Unknown) {
            result.errors.push_back({recs.front().line, "unknown column \"" + c + "\""});
            return result;
        }
        for (const std::string& seen : columns) {
            if (seen == c) {
                result.errors.push_back({recs.front().line, "column \"" + c + "\" given twice"});
                return result;
            }
        }
        hasName = hasName || c == "name";
        hasAddress = hasAddress || c == "address" || c == "url";
        columns.push_back(c);
    }
    if (!hasName || !hasAddress) {
        result.errors.push_back({recs.front().line, "header needs the columns name and address"});
        return result;
    }
    for (std::size_t r = 1; r < recs.size(); ++r) {
        const Record& rec = recs[r];
        if (rec.fields.size() != columns.size()) {
            result.errors.push_back({rec.line, "has " + std::to_string(rec.fields.size()) +
                                                   " fields, the header " +
                                                   std::to_string(columns.size())});
            continue;
        }
        ImportRow row;
        row.line = rec.line;
        bool ok = true;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            FieldResult set = setStationField(row, columns[c], rec.fields[c]);
            if (set.error) {
                result.errors.push_back({rec.line, *set.error});
                ok = false;
                break;
            }
        }
        if (ok) {
            result.rows.push_back(std::move(row));
        }
    }
    return result;
}

}  // namespace kinvo::ds
