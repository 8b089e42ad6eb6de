#include "BotLineMarker.h"

namespace vorlen {
namespace {

constexpr std::string_view kRefereeMark = "[vorlen]";
constexpr std::string_view kBotMark = "[bot] ";

} // namespace

void BotLineMarker::pass(std::string_view bytes, std::string& kept)
{
    kept.clear();
    for (const char ch : bytes) {
        if (!atLineStart_) {
            kept += ch;
            atLineStart_ = ch == '\n';
            continue;
        }
        held_ += ch;
        if (held_ == kRefereeMark) {
            kept += kBotMark;
            kept += held_;
            held_.clear();
            atLineStart_ = false;
        } else if (kRefereeMark.substr(0, held_.size()) != held_) {
            kept += held_;
            held_.clear();
            atLineStart_ = ch == '\n';
        }
    }
}

std::string BotLineMarker::release()
{
    atLineStart_ = true;
    std::string held;
    held.swap(held_);
    return held;
}

} // namespace vorlen
