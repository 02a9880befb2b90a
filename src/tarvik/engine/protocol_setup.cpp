#include "tarvik/engine/protocol_setup.h"

namespace tarvik {

void ConfigureProtocolContext(ProtocolContext& context, const TarvikSettings& settings) {
  context.date_time_file_names = settings.date_time_file_names == 1;
  context.us_date_format = settings.us_date_format != 0;
  context.local_time_correction = settings.local_time_correction != 0;
  context.local_correction_value = settings.local_correction_value;
  context.viewing_prefix = ViewDownloadDirectory(settings).string();
  context.download_prefix = (settings.data_path / "").string();
  context.show_freq_dir_info = settings.show_freq_dir_info != 0;
}

}  // namespace tarvik
