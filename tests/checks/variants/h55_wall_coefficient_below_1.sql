-- A wall with a loss coefficient of 0.8.
-- expect: H55
-- level: 2
-- screen: Fehler: hydraulischen Verlusten
UPDATE tbl_rvldaten SET HVE_zeta1 = 0.8 WHERE bez = 'W2';
