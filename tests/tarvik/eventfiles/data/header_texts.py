#!/usr/bin/env python3
"""Independent model of the header texts of event files, for the tests.

Builds one S-layout and one X-layout header byte by byte from the documented file format and
writes, next to them, the field dump and the file information as documented
(current year 2026, day/month/year dates). Usage: header_texts.py OUTPUT_FOLDER
Files written: s_header.bin, x_header.bin, s_dump.txt, x_dump.txt, s_info.txt, x_info.txt (UTF-8).
"""
import datetime
import decimal
import os
import struct
import sys

CURRENT_YEAR = 2026


def u16(h, o, v): struct.pack_into('<H', h, o, v)
def u32(h, o, v): struct.pack_into('<I', h, o, v)
def i24(h, o, v): h[o:o + 3] = (v & 0xFFFFFF).to_bytes(3, 'little')
def bcd(v): return (v // 10) * 16 + v % 10
def text(h, o, s): h[o:o + len(s)] = s.encode('latin-1')


def rd_i24(h, o):
    v = int.from_bytes(h[o:o + 3], 'little')
    return v - 0x1000000 if v & 0x800000 else v


def unbcd(b): return (b >> 4) * 10 + (b & 15)
def fixed(h, o, n): return h[o:o + n].split(b'\0')[0].decode('latin-1')
def unit(h, o): return fixed(h, o, 5).lstrip(' ')
def bitset(b): return '|'.join(str((b >> i) & 1) for i in range(7, -1, -1))
def u32wrap(v): return v & 0xFFFFFFFF


def year4(y):
    base = ((CURRENT_YEAR - 50) // 100) * 100
    year = base + y
    return year + 100 if year < CURRENT_YEAR - 50 else year


def date_time(sec, minute, hour, day, month, y):
    try:
        d = datetime.datetime(year4(y), month, day, hour, minute, sec)
    except ValueError:
        return ''
    return d.strftime('%d.%m.%Y %H:%M:%S')


def volts(mv):
    return str((decimal.Decimal(mv) / 1000).quantize(decimal.Decimal('0.01'), rounding=decimal.ROUND_HALF_UP))


def lsb(mant, exp):
    v = float(mant)
    for _ in range(-exp if exp < 0 else 0):
        v /= 10.0
    return v


def build_s():
    h = bytearray(256)
    u16(h, 0, 1234); h[2] = 1; h[3] = 0; u16(h, 4, 17); u32(h, 6, 30000); u16(h, 10, 200); h[12] = 3
    u16(h, 13, 1000); u16(h, 15, 2000); u16(h, 17, 65535)
    h[25] = 0xAB; h[26] = 125; text(h, 27, 'S1234'); i24(h, 32, -2)
    h[36:42] = bytes(bcd(v) for v in (5, 4, 3, 2, 1, 26)); h[42] = 0; u16(h, 43, 150)
    h[45:51] = bytes(bcd(v) for v in (59, 59, 23, 31, 12, 75)); h[51] = 1
    u16(h, 52, 7); u16(h, 54, 12345); u16(h, 56, 3005); h[63] = 23
    text(h, 64, 'SKR4100'); text(h, 71, '00042'); u16(h, 76, 50); h[78] = 4; h[79] = 70; u16(h, 80, 16)
    u16(h, 82, 10); u16(h, 84, 20); u16(h, 86, 30)
    u16(h, 94, 5); h[96] = 2; u16(h, 97, 1234); h[99] = 0xFD; u16(h, 100, 25); h[102] = 0xFF
    text(h, 112, ' mm/s'); text(h, 117, 'mm/s2'); text(h, 122, '   mV')
    text(h, 142, 'X1 '); text(h, 145, 'Y'); text(h, 148, 'ZZZ')
    h[172] = 2; h[173] = 5; h[174] = 10; h[175] = 7
    text(h, 176, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ0123')  # 30 characters, no terminator
    u16(h, 206, 0x4142); h[208] = 1; h[209] = 3
    h[210:213] = bytes(bcd(v) for v in (29, 2, 24)); h[213] = 2
    h[214:217] = bytes(bcd(v) for v in (31, 4, 25))  # April 31: no valid date
    h[217] = 0x05; h[219] = 0x80; h[221] = 0xFF; h[222] = 3; h[223] = 7
    h[224] = 1; h[225] = 2; h[226] = 4; h[228] = 8; h[230] = 16; h[232] = 32; h[233] = 0xFE
    i24(h, 234, 475123); i24(h, 237, -85432); h[247] = 0; h[249] = 0x35; h[250] = 0; i24(h, 251, 512)
    return h


def build_x():
    h = bytearray(256)
    u16(h, 0, 65535); h[2] = 0; h[3] = 1; h[4] = 5; u16(h, 5, 300); h[7] = 9; u32(h, 8, 123456)
    i24(h, 12, 8388607); i24(h, 15, -8388608); i24(h, 18, -2); h[21] = 0x05; i24(h, 22, 1000)
    h[26:32] = bytes(bcd(v) for v in (0, 30, 12, 15, 3, 26)); h[32] = 1; u16(h, 33, 25)
    h[35:41] = bytes(bcd(v) for v in (1, 2, 0, 1, 1, 50)); h[41] = 1; u16(h, 42, 12)
    i24(h, 44, -1); i24(h, 47, 1800000); i24(h, 50, -30); h[53] = 0x12; u16(h, 54, 250); h[56] = 3
    h[57] = 2; h[58] = 1; h[59] = 2; h[60] = 10; h[61] = 5; h[62] = 0xA1; h[63] = 20
    text(h, 64, 'XKR4100'); text(h, 71, '12345'); text(h, 76, 'ABCDE'); u16(h, 81, 100)
    u16(h, 83, 125); h[85] = 0xFC; u16(h, 86, 3); h[88] = 0; u16(h, 89, 7); h[91] = 0xFE
    text(h, 92, '   mV'); text(h, 97, 'mm/s2'); text(h, 102, ' mm/s')
    text(h, 107, 'N  '); text(h, 110, 'E'); text(h, 113, 'Z')
    i24(h, 116, 100); i24(h, 119, -100); i24(h, 122, 0)
    h[125:134] = bytes([0x10, 0x25, 0x30, 0x99, 0x05, 0x12, 0x00, 0x01, 0x45])
    h[134] = 0x06; h[135:138] = bytes([0x11, 0x22, 0x33]); h[138] = 0x40; h[139] = 0x99; h[140] = 0x02
    h[141] = 1; h[142] = 3; h[143] = 10; h[144] = 20; text(h, 145, 'Dam crest')
    h[175] = ord('G'); h[176] = 0x03; h[177] = 1; u16(h, 178, 0); u16(h, 180, 13800); u16(h, 182, 2999)
    h[184] = 45; i24(h, 185, 100); i24(h, 188, -5); i24(h, 191, 0); h[194] = 0; h[195] = 0
    h[199] = 1; h[200:203] = bytes(bcd(v) for v in (15, 3, 26)); h[203] = 0; h[204] = 1
    h[205:213] = bytes(range(1, 9)); h[213] = 60; h[214] = 3; h[215] = 10
    u16(h, 216, 9000); u16(h, 218, 11000); u16(h, 220, 10500)
    u16(h, 222, 1); u16(h, 224, 2); u16(h, 226, 3); h[231] = 7
    h[232:246] = bytes(range(1, 15)); h[246] = 200
    i24(h, 247, 50); i24(h, 250, -7); i24(h, 253, 0)
    return h


def dump(h, x):
    """The field dump: name, tab, value; X-only lines read "unused" in the S layout."""
    L = []
    def line(name, value): L.append('%s\t%s\n' % (name, value))
    def unused(count=1): L.extend(['unused\n'] * count)
    g16 = lambda o: struct.unpack_from('<H', h, o)[0]
    g32 = lambda o: struct.unpack_from('<I', h, o)[0]
    s8 = lambda o: struct.unpack_from('<b', h, o)[0]
    if x:
        o = dict(fn=0, ts=2, per=3, eng=4, se=5, cs=7, ns=8, sync=22, sy=26, sok=32, io=33, it=35, tv=41,
                 sd=42, lat=44, lon=47, ele=50, samp=54, nbc=56, fp=57, dv=60, dr=61, dss=62, adc=63,
                 rn=64, sn=71, ssn=76, ff=81, lsb=83, un=92, nm=107, tm=141, tc=142, pre=143, post=144,
                 com=145, gnd=178, bm=180, bb=182, tmp=184, off=185, ac=194, nac=195, lost=196, nr=199,
                 rst=200, err=203, warn=204)
    else:
        o = dict(fn=0, ts=2, per=3, eng=250, se=4, cs=25, ns=6, sync=32, sy=36, sok=42, io=43, it=45, tv=51,
                 sd=206, lat=234, lon=237, ele=251, samp=10, nbc=12, fp=78, dv=222, dr=223, dss=249, adc=80,
                 rn=64, sn=71, ssn=27, ff=76, lsb=94, un=112, nm=142, tm=172, tc=175, pre=173, post=174,
                 com=176, gnd=52, bm=54, bb=56, tmp=63, off=82, ac=208, nac=209, lost=210, nr=213,
                 rst=214, err=217, warn=219)
    line('file_number:', g16(o['fn'])); line('test_sensor:', h[o['ts']]); line('periodic:', h[o['per']])
    line('engg_mode:', h[o['eng']]); line('sum_event:', g16(o['se'])); line('check_sum:', h[o['cs']])
    line('nb_samples:', g32(o['ns']))
    if x:
        for i, a in enumerate('xyz'): line('ch_peak_%s:' % a, rd_i24(h, 12 + 3 * i))
        f = h[21]; line('overflow_flag:', '%d/%d/%d' % (f & 1, f >> 1 & 1, f >> 2 & 1))
    else:
        for i, a in enumerate('xyz'): line('ch_peak_%s:' % a, g16(13 + 2 * i))
        unused()
    line('sync_offset:', u32wrap(rd_i24(h, o['sync'])))
    for i, n in enumerate(['second', 'minute', 'hour', 'day', 'month', 'year']):
        line('sync_%s:' % n, unbcd(h[o['sy'] + i]))
    line('sync_ok:', h[o['sok']]); line('int_offset:', g16(o['io']))
    for i, n in enumerate(['second', 'minute', 'hour', 'day', 'month', 'year']):
        line('int_%s:' % n, unbcd(h[o['it'] + i]))
    line('time_valid:', h[o['tv']]); line('sync_delay:', g16(o['sd']))
    line('latitude:', rd_i24(h, o['lat'])); line('longitude:', rd_i24(h, o['lon']))
    line('elevation:', rd_i24(h, o['ele']))
    if x: line('no_gps_sats:', unbcd(h[53]))
    else: unused()
    line('sampling:', g16(o['samp'])); line('nb_channel:', h[o['nbc']]); line('filter_pole:', h[o['fp']])
    line('dsp_version:', h[o['dv']]); line('dsp_revision:', h[o['dr']])
    line('dsp_settings:', '%d%d' % (h[o['dss']] >> 4, h[o['dss']] & 15))
    line('adc_resol:', h[o['adc']] if x else g16(o['adc']))
    line('rec_name:', fixed(h, o['rn'], 7)); line('s_number:', fixed(h, o['sn'], 5))
    line('ss_number:', fixed(h, o['ssn'], 5)); line('filter_freq:', g16(o['ff']))
    for i, a in enumerate('xyz'):
        line('ch_lsb_mant_%s:' % a, g16(o['lsb'] + 3 * i)); line('ch_lsb_exp_%s:' % a, s8(o['lsb'] + 3 * i + 2))
    for i, a in enumerate('xyz'): line('ch_units_%s:' % a, unit(h, o['un'] + 5 * i))
    for i, a in enumerate('xyz'): line('ch_names_%s:' % a, fixed(h, o['nm'] + 3 * i, 3))
    if x:
        for i, a in enumerate('xyz'): line('x_trigger_%s:' % a, rd_i24(h, 116 + 3 * i))
        for i, a in enumerate('xyz'):
            line('lta_trig_%s:' % a, unbcd(h[125 + 3 * i])); line('sta_trig_%s:' % a, unbcd(h[126 + 3 * i]))
            line('ratio_trig_%s:' % a, unbcd(h[127 + 3 * i]))
        f = h[134]; line('lta_latch_stat:', '%d/%d/%d' % (f & 1, f >> 1 & 1, f >> 2 & 1))
        for i, a in enumerate('xyz'): line('dtrigger_%s:' % a, unbcd(h[135 + i]))
        line('trig_window:', unbcd(h[138])); line('max_recording:', unbcd(h[139])); line('trig_comb:', unbcd(h[140]))
    else:
        unused(19)
    line('trig_mode:', h[o['tm']]); line('trig_chan:', h[o['tc']]); line('prevent:', h[o['pre']])
    line('postevent:', h[o['post']]); line('comment:', fixed(h, o['com'], 30))
    if x:
        line('sensor_type:', chr(h[175])); f = h[176]
        line('axis_orient:', '%d/%d/%d' % (f & 1, f >> 1 & 1, f >> 2 & 1)); line('dyn_cal:', h[177])
    else:
        unused(3)
    line('gnd:    ', g16(o['gnd'])); line('bat_main:', g16(o['bm'])); line('bat_backup:', g16(o['bb']))
    line('temperature:', h[o['tmp']])
    for i, a in enumerate('xyz'):
        line('ch_offset_%s:' % a, rd_i24(h, o['off'] + 3 * i) if x else g16(o['off'] + 2 * i))
    line('ac_lost:', h[o['ac']]); line('nb_ac_lost:', h[o['nac']])
    for i, n in enumerate(['day', 'month', 'year']): line('%s_lost:' % n, unbcd(h[o['lost'] + i]))
    line('nb_restart:', h[o['nr']])
    for i, n in enumerate(['day', 'month', 'year']): line('%s_restart:' % n, unbcd(h[o['rst'] + i]))
    line('error:  ', bitset(h[o['err']])); line('warning:', bitset(h[o['warn']]))
    if x:
        names = ['test_sel', 'test_anal1', 'test_anal2', 'test_hardw', 'test_clock', 'test_2nd_mem',
                 'test_memory', 'test_battery']
        for i, n in enumerate(names): line(n + ':', bitset(h[205 + i]))
    else:
        for n, off in [('test_sel', 221), ('test_anal1', 224), ('test_anal2', 225), ('test_hardw', 226),
                       ('test_clock', 228)]:
            line(n + ':', bitset(h[off]))
        unused()
        line('test_memory:', bitset(h[230])); line('test_battery:', bitset(h[232]))
    if x:
        line('len_period_vm:', h[213]); line('filter_delay:', h[214]); line('recording_mode:', h[215])
        for i, a in enumerate('xyz'): line('gain_corr_%s:' % a, g16(216 + 2 * i))
        for i, a in enumerate('xyz'): line('cav_1_%s:' % a, g16(222 + 2 * i))
        line('ah_setting:', h[231])
        for k in range(7):
            line('al%d_rec:' % (k + 1), h[232 + 2 * k]); line('al%d_cond:' % (k + 1), h[233 + 2 * k])
        line('al_no_msg_qud:', h[246])
        for i, a in enumerate('xyz'): line('kbftm_%s:' % a, u32wrap(rd_i24(h, 247 + 3 * i)))
    else:
        unused(28)
    return ''.join(L) + '\n\n\n\n'


def info(h, x):
    g16 = lambda o: struct.unpack_from('<H', h, o)[0]
    s8 = lambda o: struct.unpack_from('<b', h, o)[0]
    T = []
    w = T.append
    if x:
        kind_fw = h[58] * 256 + h[59]
        lsbs = [lsb(g16(83 + 3 * i), s8(85 + 3 * i)) for i in range(3)]
        gains = [g16(216 + 2 * i) for i in range(3)]
        if all(9000 <= g <= 11000 for g in gains):
            lsbs = [v * (g / 10000.0) for v, g in zip(lsbs, gains)]
        else:
            lsbs = [v * 1.036 for v in lsbs]
        peaks = []
        for i in range(3):
            p = rd_i24(h, 12 + 3 * i)
            if h[92 + 5 * i:97 + 5 * i] == b'   mV':
                p = p + rd_i24(h, 185 + 3 * i) - rd_i24(h, 247 + 3 * i)
            peaks.append(p)
        units = [unit(h, 92 + 5 * i) for i in range(3)]
        fn, eng, com, cs, ns = g16(0), h[4], fixed(h, 145, 30), h[7], struct.unpack_from('<I', h, 8)[0]
        sync, sy, sok, io, it = rd_i24(h, 22), 26, h[32], g16(33), 35
        lat, lon, ele = rd_i24(h, 44), rd_i24(h, 47), rd_i24(h, 50)
        samp, nbc, fp, dv, dr, dss, adc = g16(54), h[56], h[57], h[60], h[61], h[62], h[63]
        rn, sn, ssn, ff = fixed(h, 64, 7), fixed(h, 71, 5), fixed(h, 76, 5), g16(81)
        tm, tc, pre, post = h[141], h[142], h[143], h[144]
        bm, bb, tmp = g16(180), g16(182), h[184]
        offs = [rd_i24(h, 185 + 3 * i) for i in range(3)]
        ac, nac, lost, nr, rst, err, warn = h[194], h[195], 196, h[199], 200, h[203], h[204]
        tsel, tmem, tbat, tclk, thw, ta1, ta2 = h[205], h[211], h[212], h[209], h[208], h[206], h[207]
    else:
        major = h[79]
        fw = major * 256 + h[26]
        kind_fw = 32070 if fw == 18045 else fw
        lsbs = [lsb(g16(94 + 3 * i), s8(96 + 3 * i)) for i in range(3)]
        peaks = [g16(13 + 2 * i) for i in range(3)]
        units = [unit(h, 112 + 5 * i) for i in range(3)]
        fn, eng, com, cs, ns = g16(0), h[250], fixed(h, 176, 30), h[25], struct.unpack_from('<I', h, 6)[0]
        sync, sy, sok, io, it = rd_i24(h, 32), 36, h[42], g16(43), 45
        lat, lon, ele = rd_i24(h, 234), rd_i24(h, 237), rd_i24(h, 251)
        samp, nbc, fp, dv, dr, dss, adc = g16(10), h[12], h[78], h[222], h[223], h[249], g16(80)
        rn, sn, ssn, ff = fixed(h, 64, 7), fixed(h, 71, 5), fixed(h, 27, 5), g16(76)
        tm, tc, pre, post = h[172], h[175], h[173], h[174]
        bm, bb, tmp = g16(54), g16(56), h[63]
        offs = [g16(82 + 2 * i) for i in range(3)]
        ac, nac, lost, nr, rst, err, warn = h[208], h[209], 210, h[213], 214, h[217], h[219]
        tsel, tmem, tbat, tclk, thw, ta1, ta2 = h[221], h[230], h[232], h[228], h[226], h[224], h[225]

    def when(base):
        b = [unbcd(h[base + i]) for i in range(6)]
        return date_time(*b)

    def day(base):
        b = [unbcd(h[base + i]) for i in range(3)]
        return date_time(0, 0, 0, b[0], b[1], b[2])[:10]

    w('File Info\n---------\n'); w('File Number:\t%d\n' % fn); w('File Type:\t%d\n' % eng)
    w('Comment:\t%s\n' % com); w('Checksum:\t%d\n' % cs); w('Sampels:\t%d\n' % ns)
    w('\nEvent Info\n----------\n')
    for i, a in enumerate('XYZ'): w('Peak %s:  \t%0.3f\t%s\n' % (a, peaks[i] * lsbs[i], units[i]))
    if x:
        f = h[21]; w('Offset:  \t%u / %u / %u\n' % (f & 1, f >> 1 & 1, f >> 2 & 1))
    w('\nTiming & GPS Info\n-----------------\n')
    w('Sync. Offset:\t%lu\tsamples\n' % u32wrap(sync)); w('Sync. Time:\t%s\n' % when(sy))
    w('Sync. OK:\t%s\n' % ('YES' if sok else 'NO')); w('Trigger Offset:\t%lu\tsamples\n' % io)
    w('Trigger Time:\t%s\n' % when(it)); w('Unit Latitude:\t%0.4f\n' % (lat / 10000.0))
    w('Unit Longitude:\t%0.4f\n' % (lon / 10000.0)); w('Unit Elevation:\t%d\n' % ele)
    if x: w('Sat at Sync:\t%d\n' % unbcd(h[53]))
    w('\nRecorder Settings\n-----------------\n')
    w('Sampling rate:\t%d\tsamples/sec\n' % samp); w('Channels:\t%d\n' % nbc); w('Filter Poles:\t%d\n' % fp)
    w('Unit Firmware:\t%s\n' % ('%3.2f' % ((kind_fw & 0xFFFFFFFF) / 100.0)))
    w('DSP Firmware:\t%s\n' % ('%u.%2.2u' % (dv, dr))); w('DSP Settings:\t%u / %u\n' % (dss >> 4, dss & 15))
    w('Resolution:\t%d\n' % adc); w('Unit Name:\t%s\n' % rn); w('Unit Serial:\t%s\n' % sn)
    w('Sensor Serial:\t%s\n' % ssn); w('Frequency:\t%d\tHz\n' % ff)
    for i, a in enumerate('XYZ'): w('LSB Channel %s:\t%0.5f\n' % (a, lsbs[i]))
    if x:
        for i, a in enumerate('XYZ'): w('Gain Corr. %s:\t%0.5f\n' % (a, g16(216 + 2 * i) / 10000.0))
        for i, a in enumerate('XYZ'): w('CAV1 Channel %s:\t%u\n' % (a, g16(222 + 2 * i)))
    w('\nTrigger Settings\n----------------\n')
    if x:
        for i, a in enumerate('XYZ'): w('LTA %s:  \t%u\n' % (a, h[125 + 3 * i]))
        for i, a in enumerate('XYZ'): w('STA %s:  \t%0.1f\n' % (a, h[126 + 3 * i] / 10.0))
        for i, a in enumerate('XYZ'): w('Ratio %s:\t%0.1f\n' % (a, h[127 + 3 * i] / 10.0))
        f = h[134]; w('Latched:\t%d / %d / %d \n' % (f & 1, f >> 1 & 1, f >> 2 & 1))
        for i, a in enumerate('XYZ'): w('De-trigger %s:\t%u\t\n' % (a, h[135 + i]))
        w('Trigger Window:\t%u\t\n' % h[138]); w('Max Rec length:\t%u\t\n' % h[139])
        w('Trigger Mode:\t%u\t\n' % h[140])
    w('Functionality:\t%u\t\n' % tm); w('Caused Trigger:\t%u\t\n' % tc)
    w('Pre-event:\t%u\t\n' % pre); w('Post-event:\t%u\t\n' % post)
    if x:
        w('Sensor Type:\t%c\t\n' % chr(h[175])); f = h[176]
        w('Axis Orient.:\t%u / %u / %u\t\n' % (f & 1, f >> 1 & 1, f >> 2 & 1)); w('Dyn. Calibr.:\t%d\t\n' % h[177])
    w('\nState of Health\n---------------\n')
    w('Main Battery:\t%s\tV\n' % volts(bm)); w('Backup Battery:\t%s\tV\n' % volts(bb))
    w('Interneal Temp:\t%d\t\u00b0celsius\n' % tmp)
    for i, a in enumerate('XYZ'): w('Offset %s:\t%lu\n' % (a, u32wrap(offs[i])))
    w('Supply Power:\t%s\n' % ('YES' if ac else 'NO')); w('Num Losses:\t%d\n' % nac)
    w('Day of Loss:\t%s\n' % day(lost)); w('Num Restarts:\t%d\n' % nr); w('Day Restart:\t%s\n' % day(rst))
    w('Error:    \t%s\n' % bitset(err)); w('Warning:  \t%s\n' % bitset(warn))
    w('\nSelf Test Info\n--------------\n')
    w('Selected Tests:\t%s\n' % bitset(tsel)); w('Memory:  \t%s\n' % bitset(tmem))
    w('Battery:  \t%s\n' % bitset(tbat)); w('Clock:  \t%s\n' % bitset(tclk))
    if x: w('Massstorage:\t%s\n' % bitset(h[210]))
    w('Hardware:    \t%s\n' % bitset(thw)); w('Analog 1:\t%s\n' % bitset(ta1)); w('Analog 2:\t%s\n' % bitset(ta2))
    return ''.join(T)


def main():
    out = sys.argv[1]
    for name, header, x in (('s', build_s(), False), ('x', build_x(), True)):
        with open(os.path.join(out, name + '_header.bin'), 'wb') as f:
            f.write(header)
        with open(os.path.join(out, name + '_dump.txt'), 'w', encoding='utf-8', newline='') as f:
            f.write(dump(header, x))
        with open(os.path.join(out, name + '_info.txt'), 'w', encoding='utf-8', newline='') as f:
            f.write(info(header, x))


if __name__ == '__main__':
    main()
