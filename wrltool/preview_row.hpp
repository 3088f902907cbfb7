// Where a placement of a TSO list stands in the list's preview (List1), which shows every
// record's name, comments included.
#pragma once

#include <string>
#include <vector>

namespace scene {

// The row of `shown` for the placement numbered `index` (from 0, comments not counted) named
// `name`: the index-th row that is no comment when it shows that name, else the first row
// showing the name, else that index-th row (a number name is shown in its plain form: 007 as
// 7); -1 when the preview is shorter.
int PreviewRow(const std::vector<std::string>& shown, int index, const std::string& name);

}  // namespace scene
