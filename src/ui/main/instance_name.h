#pragma once
// The name under which a running copy of the program is found: one per settings profile,
// so a copy started with a scratch profile (tests, --profile) never hands over to the
// user's own copy.

#include <QString>

namespace trawler::ui {

QString InstanceName(const QString &profileDir);

}  // namespace trawler::ui
