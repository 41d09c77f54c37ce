-- A flume names itself as its inlet.
-- expect: S23
-- level: 2
-- screen: Fehler: Systemlogik
UPDATE tbl_rvldaten SET zulauf1 = 'G2' WHERE bez = 'G2';
