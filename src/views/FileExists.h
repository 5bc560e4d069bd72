#pragma once
// Whether a tape file is there: 1 when a file of that name exists (a relative
// name is looked up in the current directory), else 0. A directory of that
// name does not count, since it could not be sent. Decides whether Send CQ,
// Send Brag and Send Exchange are enabled and whether a startup tape is sent.
#include <string>

int FileExists(const std::string& name);
