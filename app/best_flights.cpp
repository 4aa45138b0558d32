#include "app/best_flights.h"

#include <cctype>
#include <cstdio>
#include <sstream>

const char kBestFlightsVersionLine[] = "orvendale best flights, version 1";

namespace {

const char kColumnsLine[] = "# score  atoms flowers fractals  date time  recording";

bool AllDigits(const std::string& s, size_t from, size_t n) {
    if (from + n > s.size()) return false;
    for (size_t i = from; i < from + n; ++i)
        if (!std::isdigit((unsigned char)s[i])) return false;
    return true;
}

// "123.45" into hundredths; digits only, two after the point.
bool ParseScore(const std::string& s, int* hundredths) {
    const size_t point = s.find('.');
    if (point == std::string::npos || point == 0 || point > 6 || s.size() != point + 3 ||
        !AllDigits(s, 0, point) || !AllDigits(s, point + 1, 2))
        return false;
    *hundredths = std::stoi(s.substr(0, point)) * 100 + std::stoi(s.substr(point + 1));
    return true;
}

bool ParseCount(const std::string& s, int* n) {
    if (s.empty() || s.size() > 6 || !AllDigits(s, 0, s.size())) return false;
    *n = std::stoi(s);
    return true;
}

bool IsDate(const std::string& d, const std::string& t) {
    return d.size() == 10 && AllDigits(d, 0, 4) && d[4] == '-' && AllDigits(d, 5, 2) &&
           d[7] == '-' && AllDigits(d, 8, 2) && t.size() == 5 && AllDigits(t, 0, 2) &&
           t[2] == ':' && AllDigits(t, 3, 2);
}

bool ParseRow(const std::string& line, FlightRow* row) {
    std::istringstream in(line);
    std::string score, a, f, x, date, time, recording, extra;
    if (!(in >> score >> a >> f >> x >> date >> time >> recording) || (in >> extra)) return false;
    if (!ParseScore(score, &row->score.hundredths) || !ParseCount(a, &row->collected[0]) ||
        !ParseCount(f, &row->collected[1]) || !ParseCount(x, &row->collected[2]) ||
        !IsDate(date, time))
        return false;
    if (recording != "-" && !IsRecordingName(recording)) return false;
    row->score.catches = row->collected[0] + row->collected[1] + row->collected[2];
    row->date = date + " " + time;
    row->recording = recording == "-" ? "" : recording;
    return true;
}

}  // namespace

bool IsRecordingName(const std::string& name) {
    if (name.size() < 6 || name.size() > 100 || name[0] == '.' ||
        name.compare(name.size() - 5, 5, ".orvr") != 0)
        return false;
    for (char c : name)
        if (!std::isalnum((unsigned char)c) && c != '-' && c != '_' && c != '.') return false;
    return true;
}

std::string FormatBestFlights(const BestFlights& table) {
    std::string text = std::string(kBestFlightsVersionLine) + "\n" + kColumnsLine + "\n";
    for (const FlightRow& r : table.rows) {
        char score[32];
        FormatScore(r.score.hundredths, score, (int)sizeof(score));
        char line[256];
        std::snprintf(line, sizeof(line), "%s %d %d %d %s %s\n", score, r.collected[0],
                      r.collected[1], r.collected[2], r.date.c_str(),
                      r.recording.empty() ? "-" : r.recording.c_str());
        text += line;
    }
    return text;
}

bool ParseBestFlights(const std::string& text, BestFlights* table, std::string* why) {
    table->rows.clear();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool versionSeen = false;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!versionSeen) {
            if (line != kBestFlightsVersionLine) {
                *why = line.rfind("orvendale best flights", 0) == 0
                           ? "it is of another version (\"" + line + "\")"
                           : "its first line is not \"" + std::string(kBestFlightsVersionLine) +
                                 "\"";
                table->rows.clear();
                return false;
            }
            versionSeen = true;
            continue;
        }
        if (!line.empty() && line[0] == '#') continue;
        FlightRow row;
        if (!ParseRow(line, &row)) {
            *why = "line " + std::to_string(number) + " is not a flight";
            table->rows.clear();
            return false;
        }
        if ((int)table->rows.size() == kBestFlightsKept) {
            *why = "it holds more than " + std::to_string(kBestFlightsKept) + " flights";
            table->rows.clear();
            return false;
        }
        if (!table->rows.empty() && RanksAbove(row.score, table->rows.back().score)) {
            *why = "line " + std::to_string(number) + " is out of order";
            table->rows.clear();
            return false;
        }
        table->rows.push_back(row);
    }
    if (!versionSeen) {
        *why = "it is empty";
        return false;
    }
    return true;
}

int InsertFlight(BestFlights* table, const FlightRow& row, std::vector<FlightRow>* dropped) {
    std::vector<FlightRow>& rows = table->rows;
    size_t at = 0;
    while (at < rows.size() && !RanksAbove(row.score, rows[at].score)) ++at;
    if (at >= (size_t)kBestFlightsKept) return -1;
    rows.insert(rows.begin() + (long)at, row);
    while (rows.size() > (size_t)kBestFlightsKept) {
        dropped->push_back(rows.back());
        rows.pop_back();
    }
    return (int)at;
}
