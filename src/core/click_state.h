#ifndef BREVAK_CORE_CLICK_STATE_H_
#define BREVAK_CORE_CLICK_STATE_H_

#include <map>
#include <string>
#include <vector>

namespace brevak {

// What one click of 开始更新 or 恢复 learns on its way and its later steps
// and last message need: made empty by the handler, passed down to the
// steps, gone when the handler returns. Nothing of it outlives a click.
struct ClickState {
  // The folder that saved the present data when an interrupted update is
  // finished; empty otherwise.
  std::u16string saved_dir;
  // The folders where earlier, interrupted runs finishing the same update
  // saved the present data.
  std::vector<std::u16string> earlier_saved;
  // The installation's databases as the last attempt at the update being
  // finished left them (empty: unknown).
  std::map<std::u16string, std::u16string> last_attempt_left;
  // The backup of an unfinished update the user gave up in this click: the
  // shop's data from before that update is there, not in the installation.
  std::u16string given_up_dir;
  // A record this click set aside, and the folders it named then: every
  // last message of the click names them.
  bool record_set_aside = false;
  std::vector<std::u16string> set_aside_folders;
  // The last restore copied its entry back but its record stays: the user
  // has been told, and no 恢复完成 follows.
  bool restore_not_ended = false;
  // The safety folder of the interrupted restore this click follows up.
  std::u16string interrupted_restore_safety;

  // The folders the present data was saved into before finishing: by
  // earlier finishings, then by this click.
  std::vector<std::u16string> SavedFolders() const {
    std::vector<std::u16string> folders = earlier_saved;
    if (!saved_dir.empty()) folders.push_back(saved_dir);
    return folders;
  }
};

}  // namespace brevak

#endif  // BREVAK_CORE_CLICK_STATE_H_
