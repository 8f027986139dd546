#ifndef BREVAK_PLATFORM_INSTANCE_LOCK_H_
#define BREVAK_PLATFORM_INSTANCE_LOCK_H_

namespace brevak {

// The machine-wide lock that lets one copy of the tool run at a time.
class InstanceLock {
 public:
  InstanceLock() = default;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  virtual ~InstanceLock() = default;

  // Takes the lock for the rest of the process's life. True when this
  // process holds it (also when it did already); false while another
  // running process holds it. A lock whose process has ended never blocks.
  // Where no lock can be made at all the answer is true: there is nothing
  // to wait for.
  virtual bool TryLock() = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_INSTANCE_LOCK_H_
