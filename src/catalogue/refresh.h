// The catalogue refresh: the list of titled top-level windows.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/types.h"

namespace kelvorin {

class MainFrm;
class ListView;
class IProcesses;
struct ProcessRecord;

// Columns of a window row (0-based, as ListView cells are stored).
namespace col {
inline constexpr size_t Icon = 0;
inline constexpr size_t Handle = 1;
inline constexpr size_t ProcessName = 2;
inline constexpr size_t Caption = 3;
inline constexpr size_t ProcessId = 4;
inline constexpr size_t FullPath = 5;
inline constexpr size_t Visibility = 6;
}  // namespace col

inline constexpr const char* kShownText = "表示";
inline constexpr const char* kHiddenText = "非表示";
inline constexpr const char* kEnumFailedText = "取得に失敗しました";

// GetWindowTextA's buffer: titles are cut after 255 bytes.
inline constexpr int kTitleBufferBytes = 256;

// The enumeration callback: adds a row for a titled window that the hide
// filter lets through. Always returns true so the enumeration runs to its end.
bool EnumWindowProc(MainFrm& form, WindowHandle h, intptr_t param);

// The ids of the rows in their current order; walking by id stays right when
// writing a cell moves a row under a sort.
std::vector<uint64_t> RowIds(const ListView& list);

// The process with this id as a fresh snapshot lists it, with its
// executable's path where its modules can be read (else its name), as the
// refresh records it; nullopt when no such process runs.
std::optional<ProcessRecord> LookUpProcess(IProcesses& processes, uint32_t processId);

// The icon cell: an icon metric divided by 1.5, rounded to the nearest integer.
int IconCellSize(int iconMetric);

}  // namespace kelvorin
