// vantrel prefs show: every record of a preference file, decoded where the command knows its
// layout, as text, a JSON document or a CSV list of the records; and the descriptions of
// records and monitor settings that the other actions print too.
#include <cstdint>
#include <cstdio>
#include <string>

#include "input.h"
#include "prefs.h"
#include "text_codec.h"

namespace cli {

namespace {

std::string FourCharacters(std::uint32_t signature) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((signature >> shift) & 0xFF);
        out += (c >= 0x20 && c < 0x7F) ? c : '.';
    }
    return out;
}

std::string DataSummary(const std::uint8_t* bytes, size_t n) {
    size_t nonzero = 0;
    for (size_t i = 0; i < n; ++i) nonzero += bytes[i] != 0;
    return std::to_string(n) + " bytes, " +
           (nonzero ? std::to_string(nonzero) + " non-zero" : std::string("all zero"));
}

std::string TextOrEmpty(const std::string& text) {
    return text.empty() ? "(empty)" : text;
}

Json JsonPair(float x, float y) {
    return Json::Array({Json::Literal(JsonNumber(x)), Json::Literal(JsonNumber(y))});
}

std::string ShowText(const std::string& name, const PreferenceFileView& view) {
    Table head(kTextValues);
    head.AddRow({"file", name});
    head.AddRow({"size", std::to_string(view.size) + " bytes"});
    head.AddRow({"records", std::to_string(view.count)});
    if (view.trailing)
        head.AddRow({"after them", std::to_string(view.trailing) +
                                       " bytes not counted (left by an interrupted write; see "
                                       "'vantrel prefs repair')"});
    std::string text = head.Text();
    for (const RawRecord& r : view.records) {
        std::string title = "\n" + RecordTitle(r);
        const bool decoded = Decodable(r);
        if (RecordKind(r.signature) && !decoded && DecodedSize(r.signature) >= 0)
            title += " (not " + std::to_string(DecodedSize(r.signature)) + ": not decoded)";
        text += title + "\n";
        if (!decoded) continue;
        Table t(kTextValues);
        if (r.signature == PF_SigMeterOptions) {
            MeterOptionsRecord m = Decode<MeterOptionsRecord>(r);
            for (int i = 0; i < 2; ++i) {
                Meter meter = MeterOf(m.aBlock[i]);
                std::string label = "  meter " + std::to_string(i + 1);
                t.AddRow({label + " code", std::to_string(meter.code)});
                t.AddRow({label + " flag", std::to_string(meter.flag)});
                t.AddRow({label + " value", std::to_string(meter.value)});
                t.AddRow({label + " data", DataSummary(meter.data, 256)});
            }
        } else if (r.signature == PF_SigProfileSettings) {
            PF_ProfileSettings p = Decode<PF_ProfileSettings>(r);
            char value[16];
            std::snprintf(value, sizeof value, "0x%08X", p.sigColorSpace);
            t.AddRow(
                {"  colour space", "'" + FourCharacters(p.sigColorSpace) + "' (" + value + ")"});
            t.AddRow({"  setting 0", std::to_string(p.nSetting0)});
            t.AddRow({"  setting 8", std::to_string(p.nSetting8)});
            t.AddRow({"  setting 12", std::to_string(p.nSetting12)});
            t.AddRow({"  setting 16", std::to_string(p.nSetting16)});
            t.AddRow({"  setting 24", std::to_string(p.nSetting24)});
            t.AddRow({"  setting 32", DataSummary(p.abSetting32, 32)});
        } else {
            AddMonitorRows(Decode<PF_MonitorSettings>(r), &t);
        }
        text += t.Text();
    }
    return text;
}

Json JsonRecord(const RawRecord& r) {
    Json record = RecordHeaderJson(r);
    if (!Decodable(r)) return record;
    if (r.signature == PF_SigMeterOptions) {
        MeterOptionsRecord m = Decode<MeterOptionsRecord>(r);
        Json meters = Json::Array();
        for (const MeterBlock& block : m.aBlock) {
            Meter meter = MeterOf(block);
            meters.Push(Json::Object()
                            .AddInteger("code", meter.code)
                            .AddInteger("flag", meter.flag)
                            .AddInteger("value", meter.value)
                            .AddText("data", Hex(meter.data, 256)));
        }
        record.Add("meters", std::move(meters));
    } else if (r.signature == PF_SigProfileSettings) {
        PF_ProfileSettings p = Decode<PF_ProfileSettings>(r);
        record.Add("profile", Json::Object()
                                  .AddText("color_space", FourCharacters(p.sigColorSpace))
                                  .AddInteger("color_space_value", p.sigColorSpace)
                                  .AddInteger("setting0", p.nSetting0)
                                  .AddInteger("setting8", p.nSetting8)
                                  .AddInteger("setting12", p.nSetting12)
                                  .AddInteger("setting16", p.nSetting16)
                                  .AddInteger("setting24", p.nSetting24)
                                  .AddText("setting32", Hex(p.abSetting32, 32)));
    } else {
        record.Add("monitor", MonitorJson(Decode<PF_MonitorSettings>(r)));
    }
    return record;
}

Report ShowReport(const std::string& name, const PreferenceFileView& view) {
    Report report;
    report.title = ShowText(name, view);
    report.tableRows = false;
    report.head = {{"file", Json::Text(name)},
                   {"size", Json::Integer(view.size)},
                   {"count", Json::Integer(view.count)},
                   {"trailing_bytes", Json::Integer(view.trailing)}};
    report.listKey = "records";
    report.listItems = true;
    for (const RawRecord& r : view.records) report.items.push_back(JsonRecord(r));
    return report;
}

}  // namespace

void AddMonitorRows(const PF_MonitorSettings& m, Table* t) {
    t->AddRow({"  name", TextOrEmpty(Utf8FromField(m.szName))});
    t->AddRow({"  red x y", Shortest(m.fRedX) + " " + Shortest(m.fRedY)});
    t->AddRow({"  green x y", Shortest(m.fGreenX) + " " + Shortest(m.fGreenY)});
    t->AddRow({"  blue x y", Shortest(m.fBlueX) + " " + Shortest(m.fBlueY)});
    t->AddRow({"  white x y", Shortest(m.fWhiteX) + " " + Shortest(m.fWhiteY)});
    t->AddRow({"  gamma", Shortest(m.fGamma)});
    t->AddRow({"  white point", TextOrEmpty(Utf8FromField(m.szWhitePointName))});
    t->AddRow({"  primaries", TextOrEmpty(Utf8FromField(m.szPrimariesName))});
    t->AddRow({"  tone response", TextOrEmpty(Utf8FromField(m.szGammaName))});
}

std::string RecordTitle(const RawRecord& r) {
    const char* kind = RecordKind(r.signature);
    return "record " + std::to_string(r.index) + ": signature " + std::to_string(r.signature) +
           (kind ? std::string(", ") + kind : "") + ", " + std::to_string(r.size) + " bytes";
}

Json MonitorJson(const PF_MonitorSettings& m) {
    return Json::Object()
        .AddText("name", Utf8FromField(m.szName))
        .Add("red", JsonPair(m.fRedX, m.fRedY))
        .Add("green", JsonPair(m.fGreenX, m.fGreenY))
        .Add("blue", JsonPair(m.fBlueX, m.fBlueY))
        .Add("white", JsonPair(m.fWhiteX, m.fWhiteY))
        .Add("gamma", Json::Literal(JsonNumber(m.fGamma)))
        .AddText("white_point_name", Utf8FromField(m.szWhitePointName))
        .AddText("primaries_name", Utf8FromField(m.szPrimariesName))
        .AddText("gamma_name", Utf8FromField(m.szGammaName));
}

Json RecordHeaderJson(const RawRecord& r) {
    Json record = Json::Object();
    record.AddInteger("index", r.index)
        .AddInteger("offset", r.offset)
        .AddInteger("signature", r.signature)
        .AddInteger("size", r.size);
    if (const char* kind = RecordKind(r.signature)) record.AddText("kind", kind);
    return record;
}

// The records as rows: what each is, not its contents.
Record RecordRow(const RawRecord& r) {
    const char* kind = RecordKind(r.signature);
    return Record()
        .Integer("index", "index", r.index)
        .Integer("offset", "offset", r.offset)
        .Integer("signature", "signature", r.signature)
        .Integer("size", "size", r.size)
        .Text("kind", "kind", kind ? kind : "");
}

int PrefsShow(const PrefsRequest& r) {
    const PreferenceFileView view = InspectPreferenceFile(r.path);
    const std::string name = InputName(r.path);
    if (r.format != Format::kCsv) {
        Render(ShowReport(name, view), r.format, *r.out);
    } else {
        RecordWriter writer(r.format, true, *r.out);
        for (const RawRecord& record : view.records) writer.Write(RecordRow(record));
    }
    return kExitOk;
}

}  // namespace cli
