-- A flume names itself as its outlet.
-- expect: S24
-- level: 2
UPDATE tbl_rvldaten SET ablauf1 = 'G2' WHERE bez = 'G2';
