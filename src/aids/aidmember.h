#pragma once

#include <QLatin1String>
#include <QString>

#include <vector>

// The member entry of an aid window by the window's name (each entry has a
// `window` name); nullptr for a name no entry has.
template <typename Member>
const Member *findAidMember(const std::vector<Member> &members, const QString &window)
{
    for (const Member &m : members)
        if (window == QLatin1String(m.window))
            return &m;
    return nullptr;
}
