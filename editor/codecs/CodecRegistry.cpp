#include "editor/codecs/CodecRegistry.h"

#include "editor/codecs/DefaultCodecRegistry.h"

#include <mutex>

namespace {

std::mutex& RegistryMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<CodecRegistry>& RegistrySlot()
{
    static std::shared_ptr<CodecRegistry> slot = std::make_shared<DefaultCodecRegistry>();
    return slot;
}

} // namespace

CodecRegistry::~CodecRegistry() = default;

void SetCurrentRegistry(std::shared_ptr<CodecRegistry> registry)
{
    if (!registry)
        return;
    std::lock_guard lock(RegistryMutex());
    RegistrySlot() = std::move(registry);
}

std::shared_ptr<CodecRegistry> CurrentRegistry()
{
    std::lock_guard lock(RegistryMutex());
    return RegistrySlot();
}
