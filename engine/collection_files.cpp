#include "engine/collection_files.h"

#include "platform/file_system.h"
#include "support/text.h"

namespace tessel {

TCollectionFiles::TCollectionFiles() = default;
TCollectionFiles::~TCollectionFiles() = default;

std::string TCollectionFiles::Key(const std::string& path) {
  // Texts that name one file share a view; should two files share a key,
  // the size and date check still tells their views apart.
  return AsciiUpperCase(ReplaceAll(path, "/", "\\"));
}

TCollectionFiles::TView& TCollectionFiles::ViewOf(const std::string& key, const std::string& path,
                                                  int64_t size, TDateTime written) {
  std::unique_ptr<TView>& view = views_[key];
  if (view && written >= 0 && view->size == size && view->written == written) return *view;
  view = std::make_unique<TView>();
  std::string bytes = ReadFileBytes(path);
  ForEachLine(bytes, [&view](std::string_view line) { view->lines.Add(std::string(line)); });
  view->size = static_cast<int64_t>(bytes.size());
  view->written = written;
  view->endsWithLineEnd = bytes.empty() || bytes.back() == '\n';
  // Changed while it was read: the next call reads it again.
  if (view->size != size) view->written = -1;
  return *view;
}

bool TCollectionFiles::Collect(const std::string& path, const std::string& declaration,
                               const std::function<void()>& onCreate) {
  const std::string key = Key(path);
  const std::string line = declaration + ";";
  // Missing, or a directory: the file is created (or that fails).
  const int64_t size = FileSizeOf(path);
  TView* view = nullptr;
  if (size >= 0) {
    TDateTime written = 0;
    if (!FileLastWriteTime(path, written)) written = -1;
    view = &ViewOf(key, path, size, written);
    if (view->lines.AnyLineContains(declaration)) return false;
    // A last line without its line end keeps its own line.
    const std::string bytes = (view->endsWithLineEnd ? "" : "\r\n") + line + "\r\n";
    AppendFileBytes(path, bytes);
    view->size += static_cast<int64_t>(bytes.size());
  } else {
    if (onCreate) onCreate();
    WriteFileBytes(path, line + "\r\n");
    std::unique_ptr<TView>& fresh = views_[key];
    fresh = std::make_unique<TView>();
    fresh->size = static_cast<int64_t>(line.size()) + 2;
    view = fresh.get();
  }
  view->lines.Add(line);
  view->endsWithLineEnd = true;
  // Should someone else write meanwhile, the size tells at the next call.
  if (!FileLastWriteTime(path, view->written)) views_.erase(key);
  return true;
}

void TCollectionFiles::Forget(const std::string& path) { views_.erase(Key(path)); }

void TCollectionFiles::ForgetAll() { views_.clear(); }

}  // namespace tessel
