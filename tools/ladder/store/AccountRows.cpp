// The web face's accounts, sessions, invitations and settings.
#include "LadderStore.h"

namespace vorlen::ladder {
namespace {

constexpr const char* kUserColumns = "u.id, u.name, u.password, u.role, u.failures, u.locked_until, u.created";

UserRow userOf(const SqlRow& row)
{
    return {asInt(row[0]), asText(row[1]), asText(row[2]), asText(row[3]), asInt(row[4]), asInt(row[5]),
            asText(row[6])};
}

} // namespace

std::optional<std::int64_t> LadderStore::addUser(const std::string& name, const std::string& password,
                                                 const std::string& now, const std::string& invitation)
{
    db_->begin();
    try {
        if (!invitation.empty()
            && db_->query("SELECT code FROM invitations WHERE code = ?1 AND used_by IS NULL", {invitation}).empty()) {
            db_->rollback();
            return std::nullopt;
        }
        const std::int64_t id =
            db_->insert("INSERT INTO users (name, password, created) VALUES (?1, ?2, ?3)", {name, password, now});
        if (!invitation.empty())
            db_->execute("UPDATE invitations SET used_by = ?2 WHERE code = ?1", {invitation, id});
        db_->commit();
        return id;
    } catch (...) {
        db_->rollback();
        throw;
    }
}

std::optional<UserRow> LadderStore::user(const std::string& name)
{
    const auto rows = db_->query(std::string("SELECT ") + kUserColumns + " FROM users u WHERE u.name = ?1", {name});
    if (rows.empty())
        return std::nullopt;
    return userOf(rows[0]);
}

void LadderStore::setUserRole(const std::string& name, const std::string& role)
{
    db_->execute("UPDATE users SET role = ?2 WHERE name = ?1", {name, role});
}

void LadderStore::setLoginFailures(std::int64_t user, std::int64_t failures, std::int64_t lockedUntil)
{
    db_->execute("UPDATE users SET failures = ?2, locked_until = ?3 WHERE id = ?1", {user, failures, lockedUntil});
}

void LadderStore::setUserToken(std::int64_t user, const std::string& tokenHash)
{
    db_->execute("UPDATE users SET token = ?2 WHERE id = ?1", {user, tokenHash});
}

std::optional<UserRow> LadderStore::userByToken(const std::string& tokenHash)
{
    if (tokenHash.empty())
        return std::nullopt;
    const auto rows =
        db_->query(std::string("SELECT ") + kUserColumns + " FROM users u WHERE u.token = ?1", {tokenHash});
    if (rows.empty())
        return std::nullopt;
    return userOf(rows[0]);
}

void LadderStore::addSession(const std::string& idHash, std::int64_t user, const std::string& csrf,
                             std::int64_t expires)
{
    db_->execute("INSERT INTO sessions (id, user_id, csrf, expires) VALUES (?1, ?2, ?3, ?4)",
                 {idHash, user, csrf, expires});
}

std::optional<std::pair<UserRow, std::string>> LadderStore::session(const std::string& idHash, std::int64_t now)
{
    const auto rows = db_->query(std::string("SELECT ") + kUserColumns
                                     + ", s.csrf FROM sessions s JOIN users u ON u.id = s.user_id "
                                       "WHERE s.id = ?1 AND s.expires > ?2",
                                 {idHash, now});
    if (rows.empty())
        return std::nullopt;
    return std::make_pair(userOf(rows[0]), asText(rows[0][7]));
}

void LadderStore::dropSession(const std::string& idHash) { db_->execute("DELETE FROM sessions WHERE id = ?1", {idHash}); }

void LadderStore::dropUserSessions(std::int64_t user)
{
    db_->execute("DELETE FROM sessions WHERE user_id = ?1", {user});
}

std::optional<std::string> LadderStore::setting(const std::string& name)
{
    const auto rows = db_->query("SELECT value FROM settings WHERE name = ?1", {name});
    if (rows.empty())
        return std::nullopt;
    return asText(rows[0][0]);
}

void LadderStore::setSetting(const std::string& name, const std::string& value)
{
    db_->execute("INSERT INTO settings (name, value) VALUES (?1, ?2) ON CONFLICT (name) DO UPDATE SET value = "
                 "excluded.value",
                 {name, value});
}

void LadderStore::addInvitation(const std::string& code)
{
    db_->execute("INSERT INTO invitations (code) VALUES (?1)", {code});
}

void LadderStore::setBotOwner(const std::string& bot, std::int64_t user)
{
    db_->execute("UPDATE bots SET owner = ?2 WHERE name = ?1", {bot, user});
}

std::int64_t LadderStore::botsOwnedBy(std::int64_t user)
{
    return asInt(db_->query("SELECT COUNT(*) FROM bots WHERE owner = ?1 AND state != 'retired'", {user}).at(0).at(0));
}

std::int64_t LadderStore::versionsAddedSince(std::int64_t user, const std::string& since)
{
    return asInt(db_->query("SELECT COUNT(*) FROM versions v JOIN bots b ON b.id = v.bot WHERE b.owner = ?1 AND "
                            "v.added >= ?2",
                            {user, since})
                     .at(0)
                     .at(0));
}

std::int64_t LadderStore::bytesOwnedBy(std::int64_t user)
{
    return asInt(db_->query("SELECT COALESCE(SUM(v.bytes), 0) FROM versions v JOIN bots b ON b.id = v.bot WHERE "
                            "b.owner = ?1",
                            {user})
                     .at(0)
                     .at(0));
}

void LadderStore::setVersionBytes(std::int64_t version, std::int64_t bytes)
{
    db_->execute("UPDATE versions SET bytes = ?2 WHERE id = ?1", {version, bytes});
}

} // namespace vorlen::ladder
