#include "AccountPages.h"
#include "CommandParts.h"
#include "Credentials.h"

namespace vorlen::ladder {

CommandOutcome adminCommand(CommandCall& call, LadderStore& store)
{
    const std::vector<std::string>& words = call.args;
    if (words.size() == 2 && (words[0] == "add" || words[0] == "remove")) {
        const bool organiser = words[0] == "add";
        if (!store.user(words[1]))
            return call.refuse("no user named '" + words[1] + "'" + (organiser ? ": they sign up on the site first" : ""));
        store.setUserRole(words[1], organiser ? "admin" : "user");
        call.outcome.out = words[1] + (organiser ? " is an organiser: may retire any bot and read every log\n"
                                                 : " is no longer an organiser\n");
        return call.outcome;
    }
    if (words.size() == 2 && words[0] == "signup") {
        if (words[1] != "open" && words[1] != "invitation" && words[1] != "closed")
            return call.refuse("signup is open, invitation or closed");
        store.setSetting("signup", words[1]);
        call.outcome.out = "Signing up on the site: " + words[1] + "\n";
        return call.outcome;
    }
    if (words.size() == 1 && words[0] == "invite") {
        if (!credentialsReady())
            return call.fail("no randomness to be had for a code");
        const std::string code = randomToken().substr(0, 24);
        store.addInvitation(code);
        call.outcome.out = code + "\n";
        return call.outcome;
    }
    if (words.empty() || words[0] == "signup") {
        call.outcome.out = std::string("Signing up on the site: ")
                           + signupModeName(signupModeOf(store.setting("signup").value_or("closed"))) + "\n";
        return call.outcome;
    }
    return call.refuse("admin takes: add NAME, remove NAME, signup [open|invitation|closed], invite");
}

} // namespace vorlen::ladder
