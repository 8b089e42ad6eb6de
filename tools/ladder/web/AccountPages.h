#pragma once

#include "SitePages.h"

#include <string>
#include <vector>

namespace vorlen::ladder {

// How people may sign up, as the organiser set it.
enum class SignupMode { Open, Invitation, Closed };
SignupMode signupModeOf(const std::string& setting); // unknown: closed
const char* signupModeName(SignupMode mode);

// The forms of the web face, each with its token; `error` said above it.
std::string signupPageHtml(SignupMode mode, const std::string& csrf, const std::string& error);
std::string loginPageHtml(const std::string& csrf, const std::string& error);

// A user's page: their bots; to themselves, the upload form and their API
// token (`token`: a new one, shown this once).
struct UserView {
    std::string name;
    std::string role;
    std::vector<BotRow> bots;
    bool self = false;
    std::string token;
};
std::string userPageHtml(const UserView& view, const SiteHeader& header);

} // namespace vorlen::ladder
