#include "host/app_rules_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <array>
#include <span>

#include "common/atomic_file.h"
#include "host/document/duplicate_members.h"
#include "host/document/json_fields.h"
#include "profiles/profile_names.h"

namespace tavrik::app {
namespace {

namespace doc = ctl::doc;
using appprofiles::AppRules;

QString indexPath(const QString& parent, const char* key, qsizetype i) {
    return doc::memberPath(parent, key) + QStringLiteral("[%1]").arg(i);
}

Status checkProfileName(const QString& name, const QString& path) {
    if (profiles::profileNameProblem(name.toStdString())) {
        return doc::fieldError(path, "\"" + name.toStdString() + "\" cannot be a profile name");
    }
    return {};
}

Result<std::vector<std::string>> parseApps(const QJsonObject& entry, const QString& path) {
    const auto apps = doc::optArray(entry, "apps", path);
    if (!apps) return apps.error();
    if (!*apps) return doc::fieldError(doc::memberPath(path, "apps"), "missing");
    std::vector<std::string> out;
    for (qsizetype i = 0; i < (*apps)->size(); ++i) {
        const QString at = indexPath(path, "apps", i);
        const QJsonValue v = (**apps)[i];
        if (!v.isString()) return doc::fieldError(at, "expected an application id in quotes");
        const std::string id = v.toString().toStdString();
        if (appprofiles::appIdProblem(id)) {
            return doc::fieldError(at, "not an application id (empty, over " +
                                           std::to_string(appprofiles::kMaxAppIdBytes) +
                                           " bytes or with control characters)");
        }
        out.push_back(id);
    }
    return out;
}

}  // namespace

Result<AppRules> parseAppRules(QByteArrayView json) {
    if (json.size() > kMaxAppRulesBytes) {
        return valueError("larger than " + std::to_string(kMaxAppRulesBytes) + " bytes");
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError) {
        return valueError("not JSON at byte " + std::to_string(error.offset) + ": " +
                          error.errorString().toStdString());
    }
    if (!document.isObject()) return valueError("the file must hold one JSON object");
    if (const auto twice = ctl::firstDuplicateMember(json)) {
        return valueError(*twice + ": given twice; keep one of them");
    }
    const QJsonObject o = document.object();
    if (Status s = doc::onlyMembers(o, QString(), {"format", "version", "default", "profiles"});
        !s) {
        return s.error();
    }
    const auto format = doc::optString(o, "format", QString());
    if (!format) return format.error();
    if (*format != QString::fromLatin1(kAppRulesFormat)) {
        return valueError(std::string("format: expected \"") + kAppRulesFormat + "\"");
    }
    const auto version = doc::optInteger(o, "version", QString(), 1, 1000000);
    if (!version) return version.error();
    if (*version != kAppRulesVersion) {
        return valueError("version: this tool reads version " + std::to_string(kAppRulesVersion));
    }
    AppRules rules;
    const auto fallback = doc::optString(o, "default", QString());
    if (!fallback) return fallback.error();
    if (*fallback) {
        if (Status s = checkProfileName(**fallback, QStringLiteral("default")); !s) {
            return s.error();
        }
        rules.defaultProfile = (*fallback)->toStdString();
    }
    const auto list = doc::optArray(o, "profiles", QString());
    if (!list) return list.error();
    const QJsonArray entries = list->value_or(QJsonArray());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString path = indexPath(QString(), "profiles", i);
        if (!entries[i].isObject()) return doc::fieldError(path, "expected an object");
        const QJsonObject entry = entries[i].toObject();
        if (Status s = doc::onlyMembers(entry, path, {"profile", "apps"}); !s) return s.error();
        const auto name = doc::optString(entry, "profile", path);
        if (!name) return name.error();
        const QString namePath = doc::memberPath(path, "profile");
        if (!*name) return doc::fieldError(namePath, "missing");
        if (Status s = checkProfileName(**name, namePath); !s) return s.error();
        const std::string profile = (*name)->toStdString();
        if (!appprofiles::appsOf(rules, profile).empty()) {
            return doc::fieldError(namePath, "\"" + profile + "\" is listed twice");
        }
        auto apps = parseApps(entry, path);
        if (!apps) return apps.error();
        for (std::size_t k = 0; k < apps->size(); ++k) {
            const std::string& id = (*apps)[k];
            const QString at = indexPath(path, "apps", qsizetype(k));
            for (const auto& p : rules.profiles) {
                for (const std::string& other : p.apps) {
                    if (appprofiles::sameAppId(other, id)) {
                        return doc::fieldError(
                            at, "\"" + id + "\" is bound to \"" + p.profile + "\" already");
                    }
                }
            }
            if (appprofiles::bind(rules, profile, id) != appprofiles::Edit::Changed) {
                return doc::fieldError(
                    at,
                    appprofiles::bindingCount(rules) >= appprofiles::kMaxBindings
                        ? "more than " + std::to_string(appprofiles::kMaxBindings) + " applications"
                        : "\"" + id + "\" is listed twice");
            }
        }
    }
    return rules;
}

QJsonObject appRulesObject(const AppRules& rules) {
    QJsonObject o;
    o.insert(QStringLiteral("format"), QString::fromLatin1(kAppRulesFormat));
    o.insert(QStringLiteral("version"), kAppRulesVersion);
    if (rules.defaultProfile) {
        o.insert(QStringLiteral("default"), QString::fromStdString(*rules.defaultProfile));
    }
    QJsonArray list;
    for (const auto& p : rules.profiles) {
        QJsonArray apps;
        for (const std::string& a : p.apps) apps.append(QString::fromStdString(a));
        list.append(QJsonObject{{QStringLiteral("profile"), QString::fromStdString(p.profile)},
                                {QStringLiteral("apps"), apps}});
    }
    o.insert(QStringLiteral("profiles"), list);
    return o;
}

QByteArray appRulesJson(const AppRules& rules) {
    return QJsonDocument(appRulesObject(rules)).toJson(QJsonDocument::Indented);
}

AppRulesFile::AppRulesFile(const std::filesystem::path& dataFolder)
    : m_path(dataFolder / kAppRulesFileName) {
    load();
}

void AppRulesFile::load() {
    m_rules = {};
    m_problem.reset();
    std::error_code ec;
    if (std::filesystem::symlink_status(m_path, ec).type() ==
        std::filesystem::file_type::not_found) {
        return;  // no rules yet
    }
    const auto bytes = readFilePrefix(m_path, std::size_t(kMaxAppRulesBytes) + 1);
    if (!bytes) {
        m_problem = bytes.error().context;
        return;
    }
    const auto* data = reinterpret_cast<const char*>(bytes->data());
    auto parsed = parseAppRules(QByteArrayView(data, qsizetype(bytes->size())));
    if (!parsed) {
        m_problem = parsed.error().context;
        return;
    }
    m_rules = std::move(parsed).value();
}

Result<appprofiles::Edit> AppRulesFile::edit(const std::function<appprofiles::Edit(AppRules&)>& f) {
    load();  // what the file holds now: one damaged meanwhile is refused, not replaced
    if (m_problem) return systemError(m_path.string() + " cannot be used: " + *m_problem);
    AppRules changed = m_rules;
    const appprofiles::Edit e = f(changed);
    if (e != appprofiles::Edit::Changed) return e;
    const QByteArray text = appRulesJson(changed);
    const std::array parts{std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(text.constData()), std::size_t(text.size()))};
    if (Status s = writeFileAtomically(m_path, parts, WriteRule::DataFile); !s) return s.error();
    m_rules = std::move(changed);
    return e;
}

}  // namespace tavrik::app
