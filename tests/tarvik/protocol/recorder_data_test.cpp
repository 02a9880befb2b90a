#include "tarvik/protocol/recorder_data.h"

#include <gtest/gtest.h>

#include "protocol_test_peer.h"

namespace tarvik {
namespace {

TEST(RecorderData, RecordsOfRecorders1To16Only) {
  auto data = std::make_unique<RecorderData>();
  EXPECT_EQ(data->Recorder(0), nullptr);
  EXPECT_EQ(data->Recorder(17), nullptr);
  EXPECT_EQ(data->Recorder(1), &data->kr[0]);
  EXPECT_EQ(data->Recorder(16), &data->kr[15]);
}

TEST(RecorderData, ANewConnectionForgetsThePreviousUnitButNotItsOfflineCounters) {
  test::ProtocolRig rig;
  RecorderData& data = rig.data();
  data.hcu.NC.value = 4;
  data.hcu.QT.value = 3;
  data.hcu.recorders[1].offline = true;
  data.hcu.recorders[1].NW.latched = 1;
  data.hcu.NM[2].Set(5);
  data.hcu.RequestClockSetting();
  data.hcu.recorder_offline_counters[1].Increment();
  data.hcu.offline_counters.Increment();
  data.hcu.NN.value = "HCU4100";
  KrParams& kr = *data.Recorder(2);
  kr.device_type = 7;
  kr.MN.value = 20;
  kr.MB.value = 20;
  kr.directory_entries_read = 20;
  kr.TE.Set(250);
  kr.Mo[4].Set(4);
  kr.kr_requested = true;

  // Opening a link resets the model through the link layer's hook.
  ASSERT_TRUE(rig.ConnectTcp());

  EXPECT_EQ(data.hcu.NC.value, 0);
  EXPECT_EQ(data.hcu.QT.value, 0);
  EXPECT_FALSE(data.hcu.recorders[1].offline);
  EXPECT_EQ(data.hcu.recorders[1].NW.latched, 0);
  EXPECT_FALSE(data.hcu.NM.AnyChanged());
  EXPECT_FALSE(data.hcu.time_setting_pending);
  EXPECT_EQ(data.hcu.recorder_offline_counters[1].total, 1u);
  EXPECT_EQ(data.hcu.offline_counters.sequence, 1u);
  EXPECT_EQ(kr.device_type, kNoDeviceType);
  EXPECT_EQ(kr.MN.value, 0);
  EXPECT_EQ(kr.MB.value, 0);
  EXPECT_EQ(kr.directory_entries_read, 0);
  EXPECT_FALSE(kr.TE.changed);
  EXPECT_FALSE(kr.Mo[4].changed);
  EXPECT_FALSE(kr.kr_requested);
}

}  // namespace
}  // namespace tarvik
