// The fault injector and call record shared by the fakes: a fault makes the call of an
// operation after `skip` others fail, `times` times (-1: from then on).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace dormivo::fakes {

// What a fake raises for a fault that throws instead of failing (an error the call passes on).
struct InjectedException : std::runtime_error {
  using std::runtime_error::runtime_error;
};

template <typename Op>
class FaultInjector {
 public:
  struct Fault {
    Op op;
    uint32_t error = 0;  // what GetLastError (or the call's result) reports
    int skip = 0;
    int times = 1;
    bool throws = false;  // raise instead of failing
  };

  void Add(const Fault& fault) { faults_.push_back(fault); }

  // The fault this call of `op` meets, or nullptr when it goes through.
  const Fault* Meet(Op op) {
    for (Fault& fault : faults_) {
      if (fault.op != op || fault.times == 0)
        continue;
      if (fault.skip > 0) {
        --fault.skip;
        continue;
      }
      if (fault.times > 0)
        --fault.times;
      return &fault;
    }
    return nullptr;
  }

 private:
  std::vector<Fault> faults_;
};

// The recorded calls whose text begins with `name(`.
inline std::vector<std::string> CallsNamed(const std::vector<std::string>& calls,
                                           const std::string& name) {
  std::vector<std::string> out;
  const std::string prefix = name + "(";
  for (const std::string& call : calls) {
    if (call.compare(0, prefix.size(), prefix) == 0)
      out.push_back(call);
  }
  return out;
}

}  // namespace dormivo::fakes
