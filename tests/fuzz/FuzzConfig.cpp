// Settings text reader: any bytes must parse without a crash, read back losslessly,
// and take a write that reads back and leaves other sections alone.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "store/ConfigFile.h"

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto doc = qf::CIniDocument::Parse(text);
    Check(doc.Text() == text);

    doc.ReadInt("GainInfo", "Gain", 10);
    doc.ReadInt("COMInfo", "COM num", 1);
    Check(doc.ReadText("Alarmhi1Info", "Hi1 limit", "140.0").size() <= qf::CIniDocument::MAX_TEXT);
    const auto portMap = doc.Find("PortMap", "COM1");

    Check(doc.WriteText("COMInfo", "COM num", "12"));
    Check(doc.ReadInt("COMInfo", "COM num", 1) == 12);
    Check(doc.Find("PortMap", "COM1") == portMap);

    const auto again = qf::CIniDocument::Parse(doc.Text());
    Check(again.Find("COMInfo", "COM num") == std::optional<std::string>("12"));
    Check(again.Find("PortMap", "COM1") == portMap);
    return 0;
}
